// Saving files whole or not at all, the failure message, and the route saved as it grows.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "kml/atomic_file.h"
#include "kml/kml_documents.h"
#include "kml/platform_files.h"
#include "tests/kml/kml_test_support.h"

namespace quorvane {
namespace {

using testing::ExpectedDocument;
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

INSTANTIATE_TEST_SUITE_P(Steps, PublishFileStepTest,
                         ::testing::Values(Step::kCreate, Step::kWrite, Step::kSync, Step::kClose,
                                           Step::kReplace),
                         [](const ::testing::TestParamInfo<Step>& info) {
                           return std::string(FailingFileSystem::StepName(info.param));
                         });

TEST(PublishFileTest, NamesTheTargetAndTheSystemsReasonWhenTheFolderIsMissing) {
  TempFolder folder;
  const std::string target = (folder.Path() / "missing" / "letadlo.kml").string();
  const std::string message = SaveErrorOf([&] { PublishFile(PlatformFileSystem(), target, "x"); });
  EXPECT_THAT(message, StartsWith("Cannot create file \"" + target + "\". "));
  EXPECT_GT(message.size(), Message(target, "").size()) << "no reason given";
  EXPECT_EQ(folder.Entries(), std::set<std::string>{});
}

TEST(PublishFileTest, FailsWhenTheFolderIsAFile) {
  TempFolder folder;
  WriteBytes(folder.Path() / "Documents", kEarlier);
  const std::string target = (folder.Path() / "Documents" / "trasa.kml").string();
  const std::string message = SaveErrorOf([&] { PublishFile(PlatformFileSystem(), target, "x"); });
  EXPECT_THAT(message, StartsWith("Cannot create file \"" + target + "\". "));
  EXPECT_EQ(ReadBytes(folder.Path() / "Documents"), kEarlier);
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"Documents"});
}

TEST(PublishFileTest, FailsWithoutLeftoversWhenAFolderHoldsTheTargetsName) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path() / "letadlo.kml");
  const std::string target = (folder.Path() / "letadlo.kml").string();
  const std::string message = SaveErrorOf([&] { PublishFile(PlatformFileSystem(), target, "x"); });
  EXPECT_THAT(message, StartsWith("Cannot create file \"" + target + "\". "));
  EXPECT_TRUE(std::filesystem::is_directory(target));
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"letadlo.kml"});
}

constexpr AircraftFix kPrague{50.1, 14.25, 245.4, true};
constexpr AircraftFix kPragueNext{50.11, 14.26, 250.0, true};
constexpr AircraftFix kParked{50.1, 14.25, 245.4, false};

class KmlSavingTest : public ::testing::Test {
 protected:
  std::filesystem::path AircraftFile() const { return folder_.Path() / "letadlo.kml"; }
  std::filesystem::path RouteFile() const { return folder_.Path() / "trasa.kml"; }

  TempFolder folder_;
  XmlWriter writer_;
};

TEST_F(KmlSavingTest, SavesTheRouteOnDiskAsEachMovingFixExtendsIt) {
  KmlDocuments documents(writer_, PlatformFileSystem(), folder_.Text());
  documents.WriteAircraftDocument(kParked);
  EXPECT_EQ(folder_.Entries(), std::set<std::string>{"letadlo.kml"});

  documents.WriteAircraftDocument(kPrague);
  documents.WriteAircraftDocument(kPragueNext);
  // No WriteRouteDocument: this is what a crash before close leaves on disk.
  EXPECT_EQ(ReadBytes(RouteFile()), ExpectedDocument("route_two_tuples.kml"));

  documents.WriteAircraftDocument(kParked);
  EXPECT_EQ(ReadBytes(RouteFile()), ExpectedDocument("route_two_tuples.kml"));
  EXPECT_EQ(ReadBytes(AircraftFile()), ExpectedDocument("aircraft_50.1N_14.25E_hdg245.kml"));
  EXPECT_EQ(folder_.Entries(), (std::set<std::string>{"letadlo.kml", "trasa.kml"}));
}

TEST_F(KmlSavingTest, IgnoresAFailedRouteSaveAfterAMovingFixButReportsItAtClose) {
  FailingFileSystem files(Step::kReplace, "trasa.kml");
  KmlDocuments documents(writer_, files, folder_.Text());
  WriteBytes(RouteFile(), kEarlier);

  EXPECT_NO_THROW(documents.WriteAircraftDocument(kPrague));
  EXPECT_EQ(ReadBytes(AircraftFile()), ExpectedDocument("aircraft_50.1N_14.25E_hdg245.kml"));
  EXPECT_EQ(documents.RouteCoordinates(), "14.250000,50.100000,0 ");
  EXPECT_EQ(ReadBytes(RouteFile()), kEarlier);
  EXPECT_TRUE(writer_.Lines().empty());

  const std::string route_path = documents.RouteDocumentPath();
  EXPECT_EQ(SaveErrorOf([&] { documents.WriteRouteDocument(); }),
            Message(route_path, FailingFileSystem::kWhy));
  EXPECT_EQ(ReadBytes(RouteFile()), kEarlier);
  EXPECT_EQ(folder_.Entries(), (std::set<std::string>{"letadlo.kml", "trasa.kml"}));
}

TEST_F(KmlSavingTest, ReportsAFailedAircraftSaveYetKeepsAndSavesTheTuple) {
  FailingFileSystem files(Step::kWrite, "letadlo.kml");
  KmlDocuments documents(writer_, files, folder_.Text());
  WriteBytes(AircraftFile(), kEarlier);

  EXPECT_EQ(SaveErrorOf([&] { documents.WriteAircraftDocument(kPrague); }),
            Message(documents.AircraftDocumentPath(), FailingFileSystem::kWhy));
  EXPECT_EQ(ReadBytes(AircraftFile()), kEarlier);
  EXPECT_EQ(documents.RouteCoordinates(), "14.250000,50.100000,0 ");

  EXPECT_THROW(documents.WriteAircraftDocument(kPragueNext), FileSaveError);
  EXPECT_EQ(ReadBytes(RouteFile()), ExpectedDocument("route_two_tuples.kml"));
  EXPECT_EQ(folder_.Entries(), (std::set<std::string>{"letadlo.kml", "trasa.kml"}));
}

TEST_F(KmlSavingTest, ReportsTheFullPathWhenTheDocumentsFolderIsMissing) {
  const std::string missing = (folder_.Path() / "no such folder").string();
  KmlDocuments documents(writer_, PlatformFileSystem(), missing);
  const std::string separator(1, kPathSeparator);

  EXPECT_THAT(SaveErrorOf([&] { documents.WriteAircraftDocument(kPrague); }),
              StartsWith("Cannot create file \"" + missing + separator + "letadlo.kml\". "));
  EXPECT_EQ(documents.RouteCoordinates(), "14.250000,50.100000,0 ");
  EXPECT_THAT(SaveErrorOf([&] { documents.WriteRouteDocument(); }),
              StartsWith("Cannot create file \"" + missing + separator + "trasa.kml\". "));
  EXPECT_TRUE(writer_.Lines().empty());
  EXPECT_EQ(folder_.Entries(), std::set<std::string>{});
}

}  // namespace
}  // namespace quorvane
