// Publishing a file whole or not at all, with a failing file-system seam (one case for each
// step that can fail) and with the platform's own failures, on every platform.

#include "files/publish_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "files/platform_files.h"
#include "tests/files/files_test_support.h"

namespace quorvane {
namespace {

using testing::FailingFileSystem;
using testing::ReadBytes;
using ::testing::StartsWith;
using testing::TempFolder;
using testing::WriteBytes;
using Step = FailingFileSystem::Step;

constexpr char kEarlier[] = "earlier document\r\n";

std::string Message(const std::string& path, const std::string& why) {
  return "Cannot create file \"" + path + "\". " + why;
}

// Runs save, which must throw FileSaveError, and returns the error's text.
template <typename Save>
std::string SaveErrorOf(Save save) {
  try {
    save();
  } catch (const FileSaveError& error) {
    return error.what();
  }
  ADD_FAILURE() << "the save did not fail";
  return {};
}

TEST(PublishFileTest, ReplacesTheEarlierFileWholeAndLeavesNothingElse) {
  TempFolder folder;
  const std::string target = (folder.Path() / "letadlo.kml").string();
  WriteBytes(target, std::string(100000, 'x'));
  PublishFile(PlatformFileSystem(), target, "new\r\n");
  EXPECT_EQ(ReadBytes(target), "new\r\n");
  PublishFile(PlatformFileSystem(), target, "");
  EXPECT_EQ(ReadBytes(target), "");
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"letadlo.kml"});
}

class PublishFileStepTest : public ::testing::TestWithParam<Step> {};

TEST_P(PublishFileStepTest, KeepsTheEarlierFileAndNoTemporaryWhenAStepFails) {
  TempFolder folder;
  const std::string target = (folder.Path() / "letadlo.kml").string();
  WriteBytes(target, kEarlier);
  FailingFileSystem files(GetParam());

  try {
    PublishFile(files, target, std::string(64 * 1024, 'n'));
    FAIL() << "the save did not fail";
  } catch (const FileSaveError& error) {
    EXPECT_EQ(std::string(error.what()), Message(target, FailingFileSystem::kWhy));
    EXPECT_EQ(error.Path(), target);
  }
  EXPECT_EQ(ReadBytes(target), kEarlier);
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"letadlo.kml"});
}

TEST_P(PublishFileStepTest, CreatesNothingWhenAStepFailsWithoutAnEarlierFile) {
  TempFolder folder;
  const std::string target = (folder.Path() / "trasa.kml").string();
  FailingFileSystem files(GetParam());
  EXPECT_THROW(PublishFile(files, target, "route\r\n"), FileSaveError);
  EXPECT_EQ(folder.Entries(), std::set<std::string>{});
}

TEST_P(PublishFileStepTest, NewFileIsWrittenWholeOrNotAtAll) {
  TempFolder folder;
  const std::string target = (folder.Path() / "trasa 2026-12-08 1430.kml").string();
  FailingFileSystem files(GetParam());
  if (GetParam() == Step::kReplace) {
    // A new file is never renamed over another: this step is not taken.
    EXPECT_TRUE(PublishNewFile(files, target, kEarlier));
    EXPECT_EQ(ReadBytes(target), kEarlier);
    return;
  }
  EXPECT_THROW(PublishNewFile(files, target, kEarlier), FileSaveError);
  EXPECT_EQ(folder.Entries(), std::set<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Steps, PublishFileStepTest,
                         ::testing::ValuesIn(FailingFileSystem::kFailingSteps),
                         testing::StepCaseName);

TEST(PublishFileTest, NewFileNeverReplacesOne) {
  TempFolder folder;
  const std::string target = (folder.Path() / "kept.kml").string();
  EXPECT_TRUE(PublishNewFile(PlatformFileSystem(), target, "first\r\n"));
  EXPECT_FALSE(PublishNewFile(PlatformFileSystem(), target, "second\r\n"));
  EXPECT_EQ(ReadBytes(target), "first\r\n");
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"kept.kml"});
}

// The platform's own failures: each names the target and gives the system's reason, keeps what
// was there, and leaves nothing else behind.
struct PlatformFailure {
  std::string label;
  // Makes the folder as the case needs it; returns the target's path.
  std::string (*prepare)(const TempFolder& folder);
  std::set<std::string> entries_after;
  // Checks that what was there is as it was.
  void (*check_kept)(const TempFolder& folder);

  friend void PrintTo(const PlatformFailure& failure, std::ostream* out) { *out << failure.label; }
};

class PublishFilePlatformFailureTest : public ::testing::TestWithParam<PlatformFailure> {};

TEST_P(PublishFilePlatformFailureTest, NamesTheTargetAndTheReasonAndKeepsWhatWasThere) {
  TempFolder folder;
  const std::string target = GetParam().prepare(folder);
  const std::string message = SaveErrorOf([&] { PublishFile(PlatformFileSystem(), target, "x"); });
  EXPECT_THAT(message, StartsWith("Cannot create file \"" + target + "\". "));
  EXPECT_GT(message.size(), Message(target, "").size()) << "no reason given";
  EXPECT_EQ(folder.Entries(), GetParam().entries_after);
  GetParam().check_kept(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, PublishFilePlatformFailureTest,
    ::testing::Values(PlatformFailure{"MissingFolder",
                                      [](const TempFolder& folder) {
                                        return (folder.Path() / "missing" / "letadlo.kml").string();
                                      },
                                      {},
                                      [](const TempFolder&) {}},
                      PlatformFailure{"FolderIsAFile",
                                      [](const TempFolder& folder) {
                                        WriteBytes(folder.Path() / "Documents", kEarlier);
                                        return (folder.Path() / "Documents" / "trasa.kml").string();
                                      },
                                      {"Documents"},
                                      [](const TempFolder& folder) {
                                        EXPECT_EQ(ReadBytes(folder.Path() / "Documents"), kEarlier);
                                      }},
                      PlatformFailure{
                          "AFolderHoldsTheTargetsName",
                          [](const TempFolder& folder) {
                            std::filesystem::create_directory(folder.Path() / "letadlo.kml");
                            WriteBytes(folder.Path() / "letadlo.kml" / "inside", kEarlier);
                            return (folder.Path() / "letadlo.kml").string();
                          },
                          {"letadlo.kml"},
                          [](const TempFolder& folder) {
                            EXPECT_EQ(ReadBytes(folder.Path() / "letadlo.kml" / "inside"),
                                      kEarlier);
                          }}),
    [](const ::testing::TestParamInfo<PlatformFailure>& info) { return info.param.label; });

}  // namespace
}  // namespace quorvane
