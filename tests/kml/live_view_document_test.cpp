// The live view document: byte for byte, its links to the two KML documents, its interval, and
// saving it whole.
//
// The expected files in tests/data/kml were written by kml_sample_documents and checked by hand
// and by the outside check (tests/kml/outside_check.sh). After a deliberate change, regenerate
// them with
//   build-sanitize/bin/kml_sample_documents tests/data/kml
// and review the diff line by line before committing it.

#include "kml/live_view_document.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "files/platform_files.h"
#include "files/publish_file.h"
#include "kml/kml_documents.h"
#include "tests/kml/kml_test_support.h"
#include "tests/kml/sample_flight.h"

namespace quorvane {
namespace {

using ::testing::ElementsAre;
using testing::ExpectedDocument;
using testing::FailingFileSystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// The text of every <tag>...</tag> in the document, in order.
std::vector<std::string> Values(const std::string& text, const std::string& tag) {
  std::vector<std::string> values;
  const std::string open = "<" + tag + ">";
  const std::string close = "</" + tag + ">";
  for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
    at += open.size();
    values.push_back(text.substr(at, text.find(close, at) - at));
  }
  return values;
}

TEST(LiveViewDocumentTest, WritesTheDocumentByteForByte) {
  TempFolder folder;
  LiveViewDocument live(PlatformFileSystem(), folder.Text());
  live.Write(60);
  const std::string bytes = ReadBytes(folder.Path() / "Quorvane live.kml");
  EXPECT_EQ(bytes, ExpectedDocument("live_view_60s.kml"));
  EXPECT_EQ(bytes, LiveViewDocumentText(60));
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"Quorvane live.kml"});
}

TEST(LiveViewDocumentTest, LinksTheDocumentsBesideItByTheirFileNames) {
  TempFolder folder;
  XmlWriter writer;
  const Route route;
  const KmlDocuments documents(writer, PlatformFileSystem(), route, folder.Text());
  const LiveViewDocument live(PlatformFileSystem(), folder.Text());
  const auto name = [](const std::string& path) {
    return std::filesystem::path(path).filename().string();
  };
  const std::string text = LiveViewDocumentText(60);

  // Relative links, one to each document; only the view document's flies the view (the
  // aircraft document holds its view inside its placemark, where a viewer does not look).
  EXPECT_THAT(Values(text, "href"),
              ElementsAre(name(documents.AircraftDocumentPath()),
                          name(documents.RouteDocumentPath()), "Quorvane view.kml"));
  EXPECT_THAT(Values(text, "flyToView"), ElementsAre("0", "0", "1"));
  EXPECT_THAT(Values(text, "refreshMode"), ElementsAre("onInterval", "onInterval", "onInterval"));
  EXPECT_EQ(std::filesystem::path(live.Path()).parent_path(),
            std::filesystem::path(documents.AircraftDocumentPath()).parent_path());
}

TEST(LiveViewDocumentTest, RefreshesEveryLinkAtTheIntervalGiven) {
  for (const int seconds : {10, 61, 600}) {
    SCOPED_TRACE(seconds);
    const std::string text = LiveViewDocumentText(seconds);
    const std::string interval = std::to_string(seconds);
    EXPECT_THAT(Values(text, "refreshInterval"), ElementsAre(interval, interval, interval));
    // Only the interval differs from the 60-second document.
    std::string expected = ExpectedDocument("live_view_60s.kml");
    const std::string at_60 = "<refreshInterval>60</refreshInterval>";
    for (std::size_t at; (at = expected.find(at_60)) != std::string::npos;) {
      expected.replace(at, at_60.size(),
                       "<refreshInterval>" + std::to_string(seconds) + "</refreshInterval>");
    }
    EXPECT_EQ(text, expected);
  }
}

TEST(LiveViewDocumentTest, NeverAsksForARefreshMoreOftenThanEverySecond) {
  for (const int seconds : {0, -5}) {
    SCOPED_TRACE(seconds);
    EXPECT_THAT(Values(LiveViewDocumentText(seconds), "refreshInterval"),
                ElementsAre("1", "1", "1"));
  }
}

TEST(LiveViewDocumentTest, ViewDocumentHoldsTheAircraftsViewWhereAViewerFliesToIt) {
  TempFolder folder;
  LiveViewDocument live(PlatformFileSystem(), folder.Text());
  live.WriteView(AircraftFix{50.1, 14.25, 245.4, true});
  const std::string bytes = ReadBytes(folder.Path() / "Quorvane view.kml");
  EXPECT_EQ(bytes, ExpectedDocument("view_50.1N_14.25E_hdg245.kml"));
  // The same view as the aircraft document's, for the same fix.
  XmlWriter writer;
  const Route route;
  KmlDocuments documents(writer, PlatformFileSystem(), route, folder.Text());
  documents.WriteAircraftDocument(AircraftFix{50.1, 14.25, 245.4, true});
  const std::string aircraft = ReadBytes(documents.AircraftDocumentPath());
  for (const char* element : {"longitude", "latitude", "heading", "range", "tilt", "altitude"}) {
    EXPECT_EQ(Values(bytes, element), Values(aircraft, element)) << element;
  }
}

TEST(LiveViewDocumentTest, ReplacesTheEarlierDocumentWhenTheIntervalChanges) {
  TempFolder folder;
  LiveViewDocument live(PlatformFileSystem(), folder.Text());
  live.Write(60);
  live.Write(120);
  EXPECT_EQ(ReadBytes(live.Path()), LiveViewDocumentText(120));
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"Quorvane live.kml"});
}

TEST(LiveViewDocumentTest, KeepsTheEarlierDocumentAndReportsThePathWhenTheSaveFails) {
  TempFolder folder;
  FailingFileSystem files(FailingFileSystem::Step::kWrite);
  LiveViewDocument live(files, folder.Text());
  WriteBytes(live.Path(), LiveViewDocumentText(60));
  try {
    live.Write(120);
    FAIL() << "the save did not fail";
  } catch (const FileSaveError& error) {
    EXPECT_EQ(error.Path(), live.Path());
    EXPECT_EQ(std::string(error.what()),
              "Cannot create file \"" + live.Path() + "\". " + FailingFileSystem::kWhy);
  }
  EXPECT_EQ(ReadBytes(live.Path()), LiveViewDocumentText(60));
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"Quorvane live.kml"});
}

TEST(LiveViewDocumentTest, JoinsFolderAndFileNameAsTheKmlDocumentsDo) {
  const std::string separator(1, kPathSeparator);
  LiveViewDocument live(PlatformFileSystem(), "");
  EXPECT_EQ(live.Path(), separator + "Quorvane live.kml");
  live.SetDocumentsFolder("dir");
  EXPECT_EQ(live.Path(), "dir" + separator + "Quorvane live.kml");
  EXPECT_EQ(live.DocumentsFolder(), "dir");
}

TEST(LiveViewDocumentTest, HasAFileNameThatWindowsAcceptsToo) {
  // Printable ASCII, none of the characters Windows forbids in names, no end in a blank or dot.
  const std::string name(kLiveViewFileName);
  for (const char c : name) {
    EXPECT_TRUE(c >= 0x20 && c < 0x7f) << static_cast<int>(c);
  }
  EXPECT_EQ(name.find_first_of("<>:\"/\\|?*"), std::string::npos);
  EXPECT_NE(name.back(), ' ');
  EXPECT_NE(name.back(), '.');
  EXPECT_TRUE(name.ends_with(".kml"));
}

TEST(LiveViewDocumentTest, IsPlainAsciiWithCrLfLineEnds) {
  const std::string text = LiveViewDocumentText(60);
  EXPECT_TRUE(text.starts_with("<?xml"));  // no byte-order mark
  EXPECT_TRUE(text.ends_with("</kml>\r\n"));
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    ASSERT_LT(c, 0x80) << "at " << i;
    if (c == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
    }
    if (c == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
    }
  }
}

// The view follows the aircraft document: flat, or in 3D at the aircraft's altitude.
TEST(LiveViewDocumentTest, WritesTheViewFlatOrIn3dByteForByte) {
  const AircraftFix high = testing::FixAt(50.1, 14.25, 245.4, true, 914.5);
  struct Case {
    Relief relief;
    const char* expected;
  };
  for (const Case& c : {Case{Relief::kThreeDimensional, "view_3d_50.1N_14.25E_hdg245.kml"},
                        Case{Relief::kFlat, "view_50.1N_14.25E_hdg245.kml"}}) {
    SCOPED_TRACE(c.expected);
    TempFolder folder;
    LiveViewDocument live(PlatformFileSystem(), folder.Text());
    live.SetRelief(c.relief);
    live.WriteView(high);
    EXPECT_EQ(ReadBytes(folder.Path() / "Quorvane view.kml"), ExpectedDocument(c.expected));
  }
}

}  // namespace
}  // namespace quorvane
