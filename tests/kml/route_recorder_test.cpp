// The route as the update cycle grows it: moving fixes only, both route files saved at once and
// always showing the same points, failed saves while it grows, and positions off the Earth.

#include "kml/route_recorder.h"

#include "kml/document_set.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "files/platform_files.h"
#include "files/publish_file.h"
#include "tests/kml/kml_test_support.h"
#include "tests/kml/sample_flight.h"

namespace quorvane {
namespace {

using ::testing::ElementsAre;
using testing::ExpectedDocument;
using testing::FailingFileSystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::Utc;
using testing::WriteBytes;

const RoutePoint::Time kNoon = Utc(std::chrono::year{2024} / 5 / 17, 12, 0, 0);
constexpr AircraftFix kPrague{50.1, 14.25, 245.4, true};
constexpr AircraftFix kPragueNext{50.11, 14.26, 250.0, true};
constexpr AircraftFix kParked{50.1, 14.25, 245.4, false};

// The positions a file shows, as "lat lon" texts in the order written: from the KML route's
// "lon,lat,0 " tuples, or from the GPX track points.
std::vector<std::string> KmlPositions(const std::string& text) {
  const auto start = text.find("<coordinates>") + 13;
  const std::string tuples = text.substr(start, text.find("</coordinates>", start) - start);
  std::vector<std::string> positions;
  for (std::size_t at = 0; at < tuples.size();) {
    const auto comma = tuples.find(',', at);
    const auto second = tuples.find(',', comma + 1);
    positions.push_back(tuples.substr(comma + 1, second - comma - 1) + " " +
                        tuples.substr(at, comma - at));
    at = tuples.find(' ', second) + 1;
  }
  return positions;
}

std::vector<std::string> GpxPositions(const std::string& text) {
  std::vector<std::string> positions;
  for (std::size_t at = 0; (at = text.find("<trkpt lat=\"", at)) != std::string::npos;) {
    at += 12;
    const std::string lat = text.substr(at, text.find('"', at) - at);
    const auto lon_at = text.find("lon=\"", at) + 5;
    positions.push_back(lat + " " + text.substr(lon_at, text.find('"', lon_at) - lon_at));
  }
  return positions;
}

std::size_t Count(const std::string& text, std::string_view what) {
  std::size_t count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++count;
  }
  return count;
}

// The documents of a run in a scratch folder (or in folder_text), saved through files.
struct Recording {
  explicit Recording(FileSystem& files = PlatformFileSystem(), const std::string& folder_text = "")
      : set(files, folder_text.empty() ? folder.Text() : folder_text) {}

  std::filesystem::path File(const char* name) const { return folder.Path() / name; }
  std::string Kml() const { return ReadBytes(File("trasa.kml")); }
  std::string Gpx() const { return ReadBytes(File("trasa.gpx")); }

  TempFolder folder;
  DocumentSet set;
  XmlWriter& writer = set.writer;
  Route& route = set.route;
  KmlDocuments& documents = set.kml;
  GpxTrack& track = set.track;
  RouteRecorder& recorder = set.recorder;
};

TEST(RouteRecorderTest, MovingFixesGrowTheRouteAndBothFilesAreSavedAtOnce) {
  Recording r;
  r.recorder.RecordFix(kParked, kNoon);
  EXPECT_TRUE(r.route.Points().empty());
  EXPECT_EQ(r.folder.Entries(), std::set<std::string>{}) << "nothing grew, nothing saved";

  r.recorder.RecordFix(kPrague, kNoon + std::chrono::seconds(60));
  EXPECT_EQ(r.Gpx(), r.track.DocumentText());
  r.recorder.RecordFix(kPragueNext, kNoon + std::chrono::seconds(120));
  // No save at close: this is what a crash leaves on disk.
  EXPECT_EQ(r.Kml(), ExpectedDocument("route_two_tuples.kml"));
  EXPECT_EQ(r.Gpx(), r.track.DocumentText());
  const std::string after_two = r.Gpx();

  r.recorder.RecordFix({50.2, 14.35, 245.4, false}, kNoon + std::chrono::seconds(180));
  EXPECT_EQ(r.Gpx(), after_two);
  EXPECT_EQ(r.Kml(), ExpectedDocument("route_two_tuples.kml"));
  EXPECT_THAT(GpxPositions(r.Gpx()), ElementsAre("50.100000 14.250000", "50.110000 14.260000"));
  EXPECT_NE(r.Gpx().find("<time>2024-05-17T12:02:00Z</time>"), std::string::npos);
  EXPECT_EQ(r.folder.Entries(), (std::set<std::string>{"trasa.gpx", "trasa.kml"}));
  EXPECT_TRUE(r.writer.Lines().empty());
}

TEST(RouteRecorderTest, BothFilesShowTheSamePointsInTheSameOrder) {
  Recording r;
  testing::Fly(r.recorder, testing::KnownFlight());
  r.recorder.RecordFix({91.0, 14.0, 0.0, true}, kNoon);  // off the Earth
  r.recorder.RecordFix({-33.5, -0.5, 0.0, true}, kNoon);
  r.recorder.Break();
  r.recorder.RecordFix({-34.25, -122.41942, 0.0, true}, kNoon);
  const std::vector<std::string> kml = KmlPositions(r.Kml());
  EXPECT_EQ(kml.size(), 7u);
  EXPECT_EQ(GpxPositions(r.Gpx()), kml);
  EXPECT_EQ(kml.back(), "-34.250000 -122.419420");
}

// One of the two files fails to save while the route grows: the other is saved, the route keeps
// the point, the failing file keeps what it held, and its save at close reports the failure.
class RouteFileFailureTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RouteFileFailureTest, IsIgnoredWhileTheRouteGrowsButReportedAtClose) {
  const std::string failing = GetParam();
  FailingFileSystem files(FailingFileSystem::Step::kReplace, failing);
  Recording r(files);
  WriteBytes(r.File(GetParam()), "earlier\r\n");

  EXPECT_NO_THROW(r.recorder.RecordFix(kPrague, kNoon));
  EXPECT_EQ(r.route.Points().size(), 1u);
  EXPECT_EQ(r.documents.RouteCoordinates(), "14.250000,50.100000,0 ");
  EXPECT_EQ(ReadBytes(r.File(GetParam())), "earlier\r\n");
  const bool kml_fails = failing == "trasa.kml";
  if (kml_fails) {
    EXPECT_EQ(r.Gpx(), r.track.DocumentText());
  } else {
    EXPECT_NE(r.Kml().find("<coordinates>14.250000,50.100000,0 </coordinates>"), std::string::npos);
  }
  EXPECT_TRUE(r.writer.Lines().empty());

  const std::string path = kml_fails ? r.documents.RouteDocumentPath() : r.track.Path();
  try {
    kml_fails ? r.documents.WriteRouteDocument() : r.track.Save();
    FAIL() << "the save at close did not fail";
  } catch (const FileSaveError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot create file \"" + path + "\". " + FailingFileSystem::kWhy);
  }
  EXPECT_EQ(ReadBytes(r.File(GetParam())), "earlier\r\n");
  EXPECT_EQ(r.folder.Entries(), (std::set<std::string>{"trasa.gpx", "trasa.kml"}));
}

INSTANTIATE_TEST_SUITE_P(Files, RouteFileFailureTest, ::testing::Values("trasa.kml", "trasa.gpx"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param) == "trasa.kml" ? "Kml" : "Gpx";
                         });

TEST(RouteRecorderTest, SavesTheRouteWhateverBecomesOfTheAircraftDocument) {
  FailingFileSystem files(FailingFileSystem::Step::kWrite, "letadlo.kml");
  Recording r(files);
  WriteBytes(r.File("letadlo.kml"), "earlier\r\n");
  for (const AircraftFix& fix : {kPrague, kPragueNext}) {
    r.recorder.RecordFix(fix, kNoon);
    EXPECT_THROW(r.documents.WriteAircraftDocument(fix), FileSaveError);
  }
  EXPECT_EQ(ReadBytes(r.File("letadlo.kml")), "earlier\r\n");
  EXPECT_EQ(r.Kml(), ExpectedDocument("route_two_tuples.kml"));
  EXPECT_EQ(r.folder.Entries(), (std::set<std::string>{"letadlo.kml", "trasa.gpx", "trasa.kml"}));
}

TEST(RouteRecorderTest, ReportsTheFullPathsAtCloseWhenTheDocumentsFolderIsMissing) {
  TempFolder parent;
  const std::string missing = (parent.Path() / "no such folder").string();
  Recording r(PlatformFileSystem(), missing);
  const std::string separator(1, kPathSeparator);

  EXPECT_NO_THROW(r.recorder.RecordFix(kPrague, kNoon));
  EXPECT_EQ(r.route.Points().size(), 1u);
  for (const auto& [save, name] :
       {std::pair<std::function<void()>, const char*>{[&] { r.documents.WriteRouteDocument(); },
                                                      "trasa.kml"},
        std::pair<std::function<void()>, const char*>{[&] { r.track.Save(); }, "trasa.gpx"}}) {
    try {
      save();
      ADD_FAILURE() << name << " was saved";
    } catch (const FileSaveError& error) {
      EXPECT_THAT(error.what(), ::testing::StartsWith("Cannot create file \"" + missing +
                                                      separator + name + "\". "));
    }
  }
  EXPECT_TRUE(r.writer.Lines().empty());
  EXPECT_EQ(parent.Entries(), std::set<std::string>{});
}

TEST(RouteRecorderTest, LeavesOutPositionsOffTheEarthAndJoinsNothingAcrossThem) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  const AircraftFix off_the_earth[] = {
      {kNaN, 14.0, 0.0, true},      {50.0, kNaN, 0.0, true},       {90.000001, 14.0, 0.0, true},
      {-91.0, 14.0, 0.0, true},     {50.0, 180.5, 0.0, true},      {50.0, -180.000001, 0.0, true},
      {kInfinity, 14.0, 0.0, true}, {50.0, -kInfinity, 0.0, true},
  };
  for (const AircraftFix& fix : off_the_earth) {
    SCOPED_TRACE(::testing::Message() << fix.Latitude << " " << fix.Longitude);
    Recording r;
    r.recorder.RecordFix({50.0, 14.0, 0.0, true}, kNoon);
    r.recorder.RecordFix(fix, kNoon + std::chrono::seconds(60));
    r.recorder.RecordFix({50.1, 14.1, 0.0, true}, kNoon + std::chrono::seconds(120));
    EXPECT_EQ(Count(r.Gpx(), "<trkseg>"), 2u) << "a new segment after the refused position";
    EXPECT_THAT(GpxPositions(r.Gpx()), ElementsAre("50.000000 14.000000", "50.100000 14.100000"));
    EXPECT_EQ(KmlPositions(r.Kml()), GpxPositions(r.Gpx()));
    EXPECT_FALSE(r.route.Add({fix.Latitude, fix.Longitude, kNoon}));
    EXPECT_EQ(r.route.Points().size(), 2u);
    EXPECT_EQ(r.Gpx(), r.track.DocumentText());
  }
}

TEST(RouteRecorderTest, ClearingStartsBothFilesOver) {
  Recording r;
  testing::Fly(r.recorder, testing::KnownFlight());
  r.recorder.Clear();
  EXPECT_TRUE(r.recorder.Flown().Points().empty());
  r.documents.WriteRouteDocument();
  r.track.Save();
  EXPECT_EQ(r.Kml(), ExpectedDocument("route_empty.kml"));
  EXPECT_EQ(r.Gpx(), ExpectedDocument("track_empty.gpx"));
}

}  // namespace
}  // namespace quorvane

namespace quorvane {
namespace {

// The live view's points join the same route: the track and the live route show every point,
// "trasa.kml" the update cycle's only, exactly as if no live point had been taken, and every
// point it shows is in the track, in the same order.
TEST(RouteRecorderTest, LivePointsGoToTheTrackAndTheLiveRouteButNotToTrasaKml) {
  Recording r;
  r.recorder.KeepLiveRoute(true);
  EXPECT_EQ(r.folder.Entries(), std::set<std::string>{"Quorvane live route.kml"})
      << "an empty live route at once, for the live view to link";
  const std::string empty_live_route = ReadBytes(r.File("Quorvane live route.kml"));

  r.recorder.RecordFix(kPrague, kNoon);
  r.recorder.RecordLiveFix({50.104, 14.254, 245.4, true}, kNoon + std::chrono::seconds(2));
  const std::string kml_after_update = r.Kml();
  r.recorder.RecordLiveFix(kParked, kNoon + std::chrono::seconds(4));  // standing: no point
  r.recorder.RecordLiveFix({50.108, 14.258, 245.4, true}, kNoon + std::chrono::seconds(6));
  EXPECT_EQ(r.Kml(), kml_after_update) << "a live point leaves trasa.kml as it was";
  r.recorder.RecordFix(kPragueNext, kNoon + std::chrono::seconds(60));

  EXPECT_EQ(r.Kml(), ExpectedDocument("route_two_tuples.kml"));
  const auto all = ElementsAre("50.100000 14.250000", "50.104000 14.254000", "50.108000 14.258000",
                               "50.110000 14.260000");
  EXPECT_THAT(GpxPositions(r.Gpx()), all);
  const std::string live_route = ReadBytes(r.File("Quorvane live route.kml"));
  EXPECT_THAT(KmlPositions(live_route), all);
  EXPECT_NE(live_route, empty_live_route);
  EXPECT_NE(r.Gpx().find("<time>2024-05-17T12:00:06Z</time>"), std::string::npos);
  EXPECT_EQ(Count(r.Gpx(), "<trkseg>"), 1u);
}

TEST(RouteRecorderTest, LiveRouteIsNotSavedUnlessKept) {
  Recording r;
  r.recorder.RecordFix(kPrague, kNoon);
  r.recorder.RecordLiveFix(kPragueNext, kNoon + std::chrono::seconds(2));
  EXPECT_EQ(r.folder.Entries(), (std::set<std::string>{"trasa.gpx", "trasa.kml"}));
  EXPECT_THAT(GpxPositions(r.Gpx()), ElementsAre("50.100000 14.250000", "50.110000 14.260000"));
}

}  // namespace
}  // namespace quorvane
