// What only POSIX has for the file operations to handle: reading never blocks on a FIFO, times
// finer than a second, and what killed runs left behind (links, other users' files).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>

#include "files/platform_files.h"
#include "tests/files/files_test_support.h"

namespace quorvane {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
namespace fs = std::filesystem;
using Result = FileSystem::ReadResult;

FileSystem& Files() {
  return PlatformFileSystem();
}

TEST(PosixFileSystem, NeverWaitsForAWriterOfAFifo) {
  TempFolder folder;
  ASSERT_EQ(::mkfifo((folder.Path() / "fifo").c_str(), 0600), 0);
  std::string bytes = "earlier";
  std::string why;
  EXPECT_EQ(Files().ReadWhole((folder.Path() / "fifo").string(), 1000, bytes, why),
            Result::kUnreadable);
  EXPECT_EQ(bytes, "");
  EXPECT_FALSE(why.empty());
}

TEST(PosixFileSystem, LastWriteTimeKeepsFractionsOfASecond) {
  TempFolder folder;
  WriteBytes(folder.Path() / "file", "x");
  const timespec times[2] = {{1796740200, 0}, {1796740200, 500000000}};  // 2026-12-08 14:30 UTC
  ASSERT_EQ(::utimensat(AT_FDCWD, (folder.Path() / "file").c_str(), times, 0), 0);
  const auto written = Files().LastWriteTime((folder.Path() / "file").string());
  ASSERT_TRUE(written);
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(written->time_since_epoch()),
            std::chrono::milliseconds(1796740200500));
}

TEST(PosixFileSystem, RemovesNeitherLinksNorOtherUsersFilesNorARunningProcesssTemporaries) {
  TempFolder folder;
  const std::string ended = std::to_string(testing::EndedProcessId());
  const std::string target = (folder.Path() / "letadlo.kml").string();
  WriteBytes(folder.Path() / "letadlo.kml", "x");
  const std::string running = "letadlo.kml.1-0.tmp";  // init's, which always runs
  WriteBytes(folder.Path() / running, "x");
  // A link planted under such a name is not followed nor removed.
  const std::string link = "letadlo.kml." + ended + "-1.tmp";
  fs::create_symlink(folder.Path() / "letadlo.kml", folder.Path() / link);
  // Another user's file is not ours to remove (only root can make one here).
  const std::string foreign = "letadlo.kml." + ended + "-2.tmp";
  const bool as_root = ::geteuid() == 0;
  if (as_root) {
    WriteBytes(folder.Path() / foreign, "x");
    ASSERT_EQ(::chown((folder.Path() / foreign).c_str(), 65534, 65534), 0);
  }

  EXPECT_EQ(Files().RemoveAbandonedTemporaries(target), 0);
  EXPECT_TRUE(fs::exists(folder.Path() / running));
  EXPECT_TRUE(fs::is_symlink(folder.Path() / link));
  EXPECT_EQ(ReadBytes(folder.Path() / "letadlo.kml"), "x");
  if (as_root) {
    EXPECT_TRUE(fs::exists(folder.Path() / foreign));
  }
}

}  // namespace
}  // namespace quorvane
