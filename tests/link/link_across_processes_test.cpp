// The link over this platform's real services against quorvane-sim running as a separate
// process: Unix-domain sockets and shared memory on POSIX systems, window messages, atoms and
// file mappings on Windows.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "link/fsuipc_link.h"
#include "link/platform_link_services.h"
#include "tests/link/link_across_processes_fixture.h"

namespace quorvane {
namespace {

using testing::LinkAcrossProcessesTest;
using testing::ReadLines;

TEST_F(LinkAcrossProcessesTest, OpensReadsAndWrites) {
  StartSimulator({"--lat", "50.0875", "--poke", "0x1000:4:0xCAFEF00D"});
  ASSERT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
  EXPECT_EQ(link.ServerVersion(), 0x36220002u);
  EXPECT_EQ(link.SimulatorVersion(), 8u);
  std::uint32_t poked = 0;
  std::int64_t latitude = 0;
  ASSERT_TRUE(link.QueueRead(0x1000, 4, &poked, result));
  ASSERT_TRUE(link.QueueRead(0x0560, 8, &latitude, result));
  ASSERT_TRUE(link.Process(result)) << LinkResultMessage(result);
  EXPECT_EQ(poked, 0xCAFEF00Du);
  EXPECT_NEAR(latitude * 90.0 / 42957189152768000.0, 50.0875, 1e-9);
  // Written values are stored by the server and read back.
  const std::uint32_t value = 0x12345678;
  ASSERT_TRUE(link.QueueWrite(0x2000, 4, &value, result));
  ASSERT_TRUE(link.Process(result));
  std::uint32_t back = 0;
  ASSERT_TRUE(link.QueueRead(0x2000, 4, &back, result));
  ASSERT_TRUE(link.Process(result));
  EXPECT_EQ(back, value);
  // The same server takes the next link.
  link.Close();
  ASSERT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
}

TEST_F(LinkAcrossProcessesTest, HandshakeBlocksAsTheServerSeesThem) {
  StartSimulator({"--version", "0"});
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::WrongServerVersion);
  EXPECT_EQ(LoggedLengths(), (std::vector<int>{58, 44, 44, 44, 44}));
  const auto lines = ReadLines(log_path);
  ASSERT_FALSE(lines.empty());
  // Reads of 0x3304 and 0x3308 with zeroed data, the write of 0x330A carrying 1004 as the bytes
  // EC 03, the terminator. The reads' destination fields are the client's own business.
  std::string first = lines[0];
  ASSERT_EQ(first.size(), 3u + 2 * 58);
  first.replace(3 + 2 * 12, 8, "????????");
  first.replace(3 + 2 * 32, 8, "????????");
  EXPECT_EQ(first,
            "58 "
            "010000000433000004000000????????00000000"
            "010000000833000004000000????????00000000"
            "020000000a33000002000000ec03"
            "00000000");
}

TEST_F(LinkAcrossProcessesTest, ServerFoundOnlyByTheWideClientClass) {
  StartSimulator({"--class", "FS98MAIN"});
  EXPECT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
  link.Close();
  sim->Stop();
  // An old server behind that class may be WideClient without a simulator.
  StartSimulator({"--class", "FS98MAIN", "--version", "19980004"});
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::MaybeWideClient);
}

TEST_F(LinkAcrossProcessesTest, NoServerReportsCannotLink) {
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::NoServer);
}

TEST_F(LinkAcrossProcessesTest, ReplyValuesOtherThanOneAreBadData) {
  for (const char* reply : {"0", "2"}) {
    SCOPED_TRACE(reply);
    StartSimulator({"--reply", reply});
    EXPECT_FALSE(link.Open(0, result));
    EXPECT_EQ(result, LinkResult::BadReply);
    sim->Stop();
  }
}

TEST_F(LinkAcrossProcessesTest, VanishedServerIsASendFailure) {
  StartSimulator({"--exit-after", "1"});
  ASSERT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
  EXPECT_EQ(sim->Wait(), 0) << "the server ends after its one reply";
  std::uint32_t value = 0;
  ASSERT_TRUE(link.QueueRead(0x3304, 4, &value, result));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.Process(result));
  EXPECT_EQ(result, LinkResult::SendFailed);
  // Ten failed attempts with their 100 ms pauses, and nothing longer.
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(1000));
  EXPECT_LT(elapsed, std::chrono::milliseconds(5000));
}

TEST_F(LinkAcrossProcessesTest, HungServerTimesOutAfterTenAttempts) {
  StartSimulator({"--hang"});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::TimedOut) << LinkResultMessage(result);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::seconds(20));
  EXPECT_LT(elapsed, std::chrono::seconds(25));
  EXPECT_EQ(LoggedLengths(), std::vector<int>(10, 58)) << "the same block, sent ten times";
  EXPECT_EQ(sim->Stop(), 0) << "a hung server still ends when asked";
}

// The window's turn while the link waits: a close taken there interrupts the wait, and the
// exchange ends with no further attempt (on POSIX at once, on Windows after the attempt under
// way, whose send cannot be cut short).
TEST_F(LinkAcrossProcessesTest, InterruptFromTheWindowsTurnEndsTheWaitForAHungServer) {
  StartSimulator({"--hang"});
  LinkInterrupt& interrupt = ProcessLinkInterrupt();
  int turns = 0;
  interrupt.SetWhileWaiting([&] {
    ++turns;
    interrupt.Request();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.Open(0, result));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  interrupt.SetWhileWaiting(nullptr);
  interrupt.Clear();
  EXPECT_EQ(turns, 1);
  EXPECT_TRUE(result == LinkResult::SendFailed || result == LinkResult::TimedOut)
      << LinkResultMessage(result);
  EXPECT_LT(elapsed, std::chrono::milliseconds(3000)) << "not ten attempts of 2 s";
  EXPECT_EQ(LoggedLengths(), std::vector<int>(1, 58)) << "one attempt, none after the interrupt";
  EXPECT_EQ(sim->Stop(), 0);
}

}  // namespace
}  // namespace quorvane
