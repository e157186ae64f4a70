// The link over the POSIX services against quorvane-sim running as a separate process.

#include "link/posix/link_services_posix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "link/fsuipc_link.h"
#include "link/platform_link_services.h"
#include "link/posix/link_interrupt_posix.h"
#include "tests/link/link_across_processes_fixture.h"

namespace quorvane {
namespace {

using PosixLinkTest = testing::LinkAcrossProcessesTest;

// A block in use by a live link (another process with the same id in another PID namespace, or
// a second link of this process) holds its lock: refused with code 5 and left alone.
TEST_F(PosixLinkTest, ALiveLinksBlockIsRefusedAndLeftAlone) {
  StartSimulator({});
  const std::string name = "/" + FsuipcLink::MappingName(static_cast<std::uint32_t>(::getpid()));
  const int fd = ::shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::MappingFailed);
  struct stat info {};
  EXPECT_EQ(::fstat(fd, &info), 0);
  EXPECT_EQ(info.st_nlink, 1u) << "a live block must not be removed";
  ::close(fd);
  ::shm_unlink(name.c_str());

  ASSERT_TRUE(link.Open(0, result));
  FsuipcLink second{PlatformLinkServices()};
  EXPECT_FALSE(second.Open(0, result)) << "the first link's block is live";
  EXPECT_EQ(result, LinkResult::MappingFailed);
  std::uint32_t version = 0;
  ASSERT_TRUE(link.QueueRead(0x3304, 4, &version, result));
  EXPECT_TRUE(link.Process(result)) << "the first link goes on working";
}

// A block left behind by a killed process of this user (nobody holds it) would refuse every
// later process that gets the same id: it is removed, and the link opens.
TEST_F(PosixLinkTest, AStaleBlockOfThisUserIsReplaced) {
  StartSimulator({});
  const std::string name = "/" + FsuipcLink::MappingName(static_cast<std::uint32_t>(::getpid()));
  const int fd = ::shm_open(name.c_str(), O_CREAT | O_EXCL | O_RDWR, 0600);
  ASSERT_GE(fd, 0);
  ::close(fd);
  ASSERT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
  link.Close();
  EXPECT_NE(::shm_unlink(name.c_str()), 0) << "the link removed its own block at close";
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

// A termination signal's handler requests the interrupt: the wait for a server that does not
// answer ends right there, within the attempt, and the link gives up the exchange.
TEST_F(PosixLinkTest, SignalHandlersInterruptEndsAWaitAtOnce) {
  StartSimulator({"--hang"});
  struct sigaction action {};
  action.sa_handler = [](int) { ProcessLinkInterrupt().Request(); };
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  struct sigaction previous {};
  ASSERT_EQ(::sigaction(SIGALRM, &action, &previous), 0);
  itimerval in_300_ms{{0, 0}, {0, 300000}};
  ::setitimer(ITIMER_REAL, &in_300_ms, nullptr);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.Open(0, result));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ::sigaction(SIGALRM, &previous, nullptr);
  ProcessLinkInterrupt().Clear();
  EXPECT_EQ(result, LinkResult::SendFailed) << LinkResultMessage(result);
  EXPECT_GE(elapsed, std::chrono::milliseconds(300));
  EXPECT_LT(elapsed, std::chrono::milliseconds(1000));
  EXPECT_EQ(LoggedLengths(), std::vector<int>(1, 58));
}

TEST(PosixLinkInterrupt, RequestedUntilCleared) {
  PosixLinkInterrupt interrupt;
  EXPECT_FALSE(interrupt.Requested());
  for (int i = 0; i < 100000; ++i) {
    interrupt.Request();  // never blocks, even with the pipe full
  }
  EXPECT_TRUE(interrupt.Requested());
  interrupt.Clear();
  EXPECT_FALSE(interrupt.Requested());
}

}  // namespace
}  // namespace quorvane
