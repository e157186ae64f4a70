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

}  // namespace
}  // namespace quorvane
