// The platform's file operations beyond publishing, on every platform: reading a settings or
// configuration file whole, renaming without replacing, folders and times; and the names of the
// temporary files.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "files/platform_files.h"
#include "files/temporary_name.h"
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

TEST(FileSystemTest, ReadsOnlyWholeRegularFiles) {
  TempFolder folder;
  WriteBytes(folder.Path() / "plain", "[TForm1]\r\n");
  WriteBytes(folder.Path() / "large", std::string(1001, 'x'));
  fs::create_directory(folder.Path() / "folder");
  struct Case {
    const char* name;
    Result result;
    const char* bytes;
  };
  for (const Case& c :
       {Case{"plain", Result::kRead, "[TForm1]\r\n"}, Case{"missing", Result::kMissing, ""},
        Case{"large", Result::kUnreadable, ""}, Case{"folder", Result::kUnreadable, ""}}) {
    std::string bytes = "earlier";
    std::string why;
    EXPECT_EQ(Files().ReadWhole((folder.Path() / c.name).string(), 1000, bytes, why), c.result)
        << c.name;
    EXPECT_EQ(bytes, c.bytes) << c.name;
    EXPECT_EQ(why.empty(), c.result == Result::kRead) << c.name << ": " << why;
  }
}

TEST(FileSystemTest, RenameNewNeverReplaces) {
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

TEST(FileSystemTest, FoldersAndTimes) {
  TempFolder folder;
  const fs::path made = folder.Path() / "Quorvane flights";
  std::string why;
  EXPECT_TRUE(Files().CreateFolder(made.string(), why));
  EXPECT_TRUE(Files().CreateFolder(made.string(), why)) << "already there";
  WriteBytes(folder.Path() / "file", "x");
  EXPECT_FALSE(Files().CreateFolder((folder.Path() / "file").string(), why));
  EXPECT_FALSE(why.empty());

  // 2026-12-08 14:30 UTC, in whole seconds: what every platform's time setter takes.
  const auto written = std::chrono::system_clock::time_point(std::chrono::seconds(1796740200));
  fs::last_write_time(folder.Path() / "file", fs::file_time_type::clock::from_sys(written));
  const auto read = Files().LastWriteTime((folder.Path() / "file").string());
  ASSERT_TRUE(read);
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(read->time_since_epoch()),
            std::chrono::milliseconds(1796740200000));
  EXPECT_FALSE(Files().LastWriteTime((folder.Path() / "missing").string()));
}

TEST(FileSystemTest, TemporaryFilesAreMadeBesideTheirTargetUnderNamesTheirOwnerCanBeReadFrom) {
  TempFolder folder;
  const std::string target = (folder.Path() / "trasa.kml").string();
  std::string temp_path;
  FileSystem::Handle file = 0;
  std::string why;
  ASSERT_TRUE(Files().CreateTemporary(target, temp_path, file, why)) << why;
  EXPECT_TRUE(Files().Close(file, why)) << why;
  EXPECT_EQ(fs::path(temp_path).parent_path(), folder.Path());
  EXPECT_NE(TemporaryOwner(fs::path(temp_path).filename().string(), "trasa.kml"), 0u);
  Files().Remove(temp_path);
  EXPECT_EQ(folder.Entries(), std::set<std::string>{});
}

TEST(FileSystemTest, RemovesOnlyTheTemporariesOfEndedRuns) {
  TempFolder folder;
  const std::string ended = std::to_string(testing::EndedProcessId());
  const std::string own = std::to_string(testing::OwnProcessId());
  const std::string target = (folder.Path() / "letadlo.kml").string();
  const std::vector<std::string> removed = {"letadlo.kml." + ended + "-0.tmp",
                                            "letadlo.kml." + ended + "-17.tmp"};
  const std::vector<std::string> kept = {
      "letadlo.kml." + own + "-0.tmp",  // this run's: it may be writing it now
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
  // A folder under such a name is no temporary file.
  const std::string folder_name = "letadlo.kml." + ended + "-1.tmp";
  fs::create_directory(folder.Path() / folder_name);

  EXPECT_EQ(Files().RemoveAbandonedTemporaries(target), 2);
  for (const auto& name : removed) {
    EXPECT_FALSE(fs::exists(folder.Path() / name)) << name;
  }
  for (const auto& name : kept) {
    EXPECT_TRUE(fs::exists(folder.Path() / name)) << name;
  }
  EXPECT_TRUE(fs::is_directory(folder.Path() / folder_name));
}

TEST(TemporaryNameTest, OnlyTheNamesItMakesHaveAnOwner) {
  EXPECT_EQ(TemporaryName("/home/p/trasa.kml", 4242, 17), "/home/p/trasa.kml.4242-17.tmp");
  struct Case {
    const char* name;
    unsigned long owner;
  };
  for (const Case& c :
       {Case{"trasa.kml.4242-17.tmp", 4242}, Case{"trasa.kml.1-0.tmp", 1},
        Case{"trasa.kml.999999999-999999999.tmp", 999999999}, Case{"trasa.kml.4242.tmp", 0},
        Case{"trasa.kml.4242-x.tmp", 0}, Case{"trasa.kml.-1-0.tmp", 0},
        Case{"trasa.kml.+1-0.tmp", 0}, Case{"trasa.kml.1234567890-0.tmp", 0},
        Case{"trasa.kml.4242-.tmp", 0}, Case{"trasa.kml.-.tmp", 0}, Case{"trasa.kml..tmp", 0},
        Case{"trasa.kml.4242-17.tm", 0}, Case{"trasa.gpx.4242-17.tmp", 0}, Case{"trasa.kml", 0},
        Case{"trasa.kmlx4242-17.tmp", 0}, Case{"", 0}}) {
    EXPECT_EQ(TemporaryOwner(c.name, "trasa.kml"), c.owner) << c.name;
  }
}

}  // namespace
}  // namespace quorvane
