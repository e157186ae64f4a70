// The POSIX file operations beyond publishing: reading a settings or configuration file whole
// without ever blocking, renaming without replacing, and removing what killed runs left behind.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "kml/platform_files.h"
#include "tests/kml/kml_test_support.h"

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

// The id of a process that has ended (a child that exited and was reaped).
pid_t EndedProcessId() {
  const pid_t child = ::fork();
  if (child == 0) {
    ::_exit(0);
  }
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST(PosixFileSystem, ReadsOnlyWholeRegularFilesAndNeverWaits) {
  TempFolder folder;
  WriteBytes(folder.Path() / "plain", "[TForm1]\r\n");
  WriteBytes(folder.Path() / "large", std::string(1001, 'x'));
  fs::create_directory(folder.Path() / "folder");
  ASSERT_EQ(::mkfifo((folder.Path() / "fifo").c_str(), 0600), 0);
  struct Case {
    const char* name;
    Result result;
    const char* bytes;
  };
  for (const Case& c :
       {Case{"plain", Result::kRead, "[TForm1]\r\n"}, Case{"missing", Result::kMissing, ""},
        Case{"large", Result::kUnreadable, ""}, Case{"folder", Result::kUnreadable, ""},
        Case{"fifo", Result::kUnreadable, ""}}) {
    std::string bytes = "earlier";
    std::string why;
    EXPECT_EQ(Files().ReadWhole((folder.Path() / c.name).string(), 1000, bytes, why), c.result)
        << c.name;
    EXPECT_EQ(bytes, c.bytes) << c.name;
    EXPECT_EQ(why.empty(), c.result == Result::kRead) << c.name << ": " << why;
  }
}

TEST(PosixFileSystem, RenameNewNeverReplaces) {
  TempFolder folder;
  const fs::path from = folder.Path() / "from";
  const fs::path to = folder.Path() / "to";
  WriteBytes(from, "new");
  std::string why;
  ASSERT_TRUE(Files().RenameNew(from.string(), to.string(), why)) << why;
  EXPECT_FALSE(fs::exists(from));
  EXPECT_EQ(ReadBytes(to), "new");

  WriteBytes(from, "newer");
  EXPECT_FALSE(Files().RenameNew(from.string(), to.string(), why));
  EXPECT_EQ(ReadBytes(from), "newer");
  EXPECT_EQ(ReadBytes(to), "new");
}

TEST(PosixFileSystem, FoldersAndTimes) {
  TempFolder folder;
  const fs::path made = folder.Path() / "Quorvane flights";
  std::string why;
  EXPECT_TRUE(Files().CreateFolder(made.string(), why));
  EXPECT_TRUE(Files().CreateFolder(made.string(), why)) << "already there";
  WriteBytes(folder.Path() / "file", "x");
  EXPECT_FALSE(Files().CreateFolder((folder.Path() / "file").string(), why));
  EXPECT_FALSE(why.empty());

  const timespec times[2] = {{1796740200, 0}, {1796740200, 500000000}};  // 2026-12-08 14:30 UTC
  ASSERT_EQ(::utimensat(AT_FDCWD, (folder.Path() / "file").c_str(), times, 0), 0);
  const auto written = Files().LastWriteTime((folder.Path() / "file").string());
  ASSERT_TRUE(written);
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(written->time_since_epoch()),
            std::chrono::milliseconds(1796740200500));
  EXPECT_FALSE(Files().LastWriteTime((folder.Path() / "missing").string()));
}

TEST(PosixFileSystem, RemovesOnlyTheTemporariesOfEndedRuns) {
  TempFolder folder;
  const std::string ended = std::to_string(EndedProcessId());
  const std::string own = std::to_string(::getpid());
  const std::string target = (folder.Path() / "letadlo.kml").string();
  const std::vector<std::string> removed = {"letadlo.kml." + ended + "-0.tmp",
                                            "letadlo.kml." + ended + "-17.tmp"};
  const std::vector<std::string> kept = {
      "letadlo.kml." + own + "-0.tmp",  // this run's: it may be writing it now
      "letadlo.kml.1-0.tmp",            // a running process's
      "letadlo.kml." + ended + ".tmp",  // not a name this program makes
      "letadlo.kml." + ended + "-x.tmp",
      "trasa.kml." + ended + "-0.tmp",  // another target's
      "letadlo.kml",
  };
  for (const auto& name : removed) {
    WriteBytes(folder.Path() / name, "half");
  }
  for (const auto& name : kept) {
    WriteBytes(folder.Path() / name, "x");
  }
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

  EXPECT_EQ(Files().RemoveAbandonedTemporaries(target), 2);
  for (const auto& name : removed) {
    EXPECT_FALSE(fs::exists(folder.Path() / name)) << name;
  }
  for (const auto& name : kept) {
    EXPECT_TRUE(fs::exists(folder.Path() / name)) << name;
  }
  EXPECT_TRUE(fs::is_symlink(folder.Path() / link));
  if (as_root) {
    EXPECT_TRUE(fs::exists(folder.Path() / foreign));
  }
}

}  // namespace
}  // namespace quorvane
