// The link over the POSIX services against quorvane-sim running as a separate process.

#include "link/posix/link_services_posix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "link/fsuipc_link.h"
#include "tests/support/sim_process.h"

namespace quorvane {
namespace {

using testing::PrivateRuntimeDir;
using testing::ReadLines;
using testing::SimProcess;

class PosixLinkTest : public ::testing::Test {
 protected:
  // Starts a simulator with the given options and a log of its exchanges.
  void StartSimulator(std::vector<std::string> options) {
    options.push_back("--log");
    options.push_back(log_path);
    sim = std::make_unique<SimProcess>(options);
    ASSERT_TRUE(sim->WaitUntilReady());
  }

  // The lengths of the logged exchanges.
  std::vector<int> LoggedLengths() const {
    std::vector<int> lengths;
    for (const std::string& line : ReadLines(log_path)) {
      lengths.push_back(std::stoi(line.substr(0, line.find(' '))));
    }
    return lengths;
  }

  PrivateRuntimeDir runtime;
  std::string log_path = runtime.path() + "/exchanges.log";
  std::unique_ptr<SimProcess> sim;
  PosixLinkServices services;
  FsuipcLink link{services};
  LinkResult result = LinkResult::Okay;
};

TEST_F(PosixLinkTest, OpensAndReadsAcrossProcesses) {
  StartSimulator({"--lat", "50.0875", "--poke", "0x1000:4:0xCAFEF00D"});
  ASSERT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
  EXPECT_EQ(link.ServerVersion(), 0x36220002u);
  EXPECT_EQ(link.SimulatorVersion(), 8u);
  std::uint32_t poked = 0;
  std::int64_t latitude = 0;
  ASSERT_TRUE(link.QueueRead(0x1000, 4, &poked, result));
  ASSERT_TRUE(link.QueueRead(0x0560, 8, &latitude, result));
  ASSERT_TRUE(link.Process(result));
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
}

TEST_F(PosixLinkTest, HandshakeBlocksAsTheServerSeesThem) {
  StartSimulator({"--version", "0"});
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::WrongServerVersion);
  EXPECT_EQ(LoggedLengths(), (std::vector<int>{58, 44, 44, 44, 44}));
  const auto lines = ReadLines(log_path);
  ASSERT_FALSE(lines.empty());
  // The write request of 0x330A carries 1004 as the bytes EC 03.
  EXPECT_NE(lines[0].find("020000000a33000002000000ec03"), std::string::npos) << lines[0];
}

TEST_F(PosixLinkTest, ReconnectsToTheSameServerAfterClose) {
  StartSimulator({});
  ASSERT_TRUE(link.Open(0, result));
  link.Close();
  ASSERT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
}

TEST_F(PosixLinkTest, WideClientClassWithAnOldServerReportsMaybeWideClient) {
  StartSimulator({"--class", "FS98MAIN", "--version", "19980004"});
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::MaybeWideClient);
}

TEST_F(PosixLinkTest, NoServerReportsCannotLink) {
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::NoServer);
}

TEST_F(PosixLinkTest, ReplyValuesOtherThanOneAreBadData) {
  StartSimulator({"--reply", "2"});
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::BadReply);
}

TEST_F(PosixLinkTest, VanishedServerIsASendFailure) {
  StartSimulator({"--exit-after", "1"});
  ASSERT_TRUE(link.Open(0, result));
  EXPECT_EQ(sim->Wait(), 0);
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

TEST_F(PosixLinkTest, HungServerTimesOutAfterTenAttempts) {
  StartSimulator({"--hang"});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::TimedOut);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::seconds(20));
  EXPECT_LT(elapsed, std::chrono::seconds(25));
  EXPECT_EQ(LoggedLengths(), std::vector<int>(10, 58)) << "the same block, sent ten times";
}

TEST_F(PosixLinkTest, ATakenBlockNameIsRefusedAndLeftAlone) {
  StartSimulator({});
  const std::string name = "/" + FsuipcLink::MappingName(static_cast<std::uint32_t>(::getpid()));
  const int fd = ::shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  ASSERT_GE(fd, 0);
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::MappingFailed);
  struct stat info {};
  EXPECT_EQ(::fstat(fd, &info), 0);
  EXPECT_EQ(info.st_nlink, 1u) << "someone else's block must not be removed";
  ::close(fd);
  ::shm_unlink(name.c_str());
}

TEST_F(PosixLinkTest, BlockIsPrivateToTheUser) {
  StartSimulator({});
  ASSERT_TRUE(link.Open(0, result));
  const std::string name =
      "/dev/shm/" + FsuipcLink::MappingName(static_cast<std::uint32_t>(::getpid()));
  struct stat info {};
  ASSERT_EQ(::stat(name.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(info.st_size, 0x8000);
  link.Close();
  EXPECT_NE(::stat(name.c_str(), &info), 0) << "closing removes the block";
}

}  // namespace
}  // namespace quorvane
