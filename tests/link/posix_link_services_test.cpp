// The link over the POSIX services against quorvane-sim running as a separate process.

#include "link/posix/link_services_posix.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
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
