// The GPX track: byte for byte for a known flight, a track segment for each of the route's
// segments, the ranges GPX allows, and saving it.
//
// The expected files in tests/data/kml were written by kml_sample_documents and checked by hand
// and by the outside check (tests/kml/outside_check.sh). After a deliberate change, regenerate
// them with
//   build-sanitize/bin/kml_sample_documents tests/data/kml
// and review the diff line by line before committing it.

#include "kml/gpx_track.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "files/platform_files.h"
#include "files/publish_file.h"
#include "kml/document_set.h"
#include "tests/kml/comma_locale.h"
#include "tests/kml/kml_test_support.h"
#include "tests/kml/sample_flight.h"

namespace quorvane {
namespace {

using ::testing::ElementsAre;
using testing::ExpectedDocument;
using testing::FailingFileSystem;
using testing::KnownFlight;
using testing::ReadBytes;
using testing::TempFolder;
using testing::Utc;
using testing::WriteBytes;

const RoutePoint::Time kNoon = Utc(std::chrono::year{2024} / 5 / 17, 12, 0, 0);

// The points of each <trkseg> as "lat lon time" texts, read back from the document text. Fails
// the test when segment start and end tags do not alternate, beginning with a start tag.
std::vector<std::vector<std::string>> Segments(const std::string& text) {
  std::vector<std::vector<std::string>> segments;
  std::size_t at = 0;
  while ((at = text.find("trkseg>", at)) != std::string::npos) {
    if (text[at - 1] != '<') {
      ADD_FAILURE() << "a segment ends that was not started, at " << at;
      return segments;
    }
    const std::size_t end = text.find("trkseg>", at + 7);
    if (end == std::string::npos || text.compare(end - 2, 2, "</") != 0) {
      ADD_FAILURE() << "a segment started at " << at << " does not end before the next";
      return segments;
    }
    std::vector<std::string> points;
    const std::string segment = text.substr(at, end - at);
    for (std::size_t p = 0; (p = segment.find("<trkpt lat=\"", p)) != std::string::npos;) {
      p += 12;
      const std::string lat = segment.substr(p, segment.find('"', p) - p);
      const std::size_t lon_at = segment.find("lon=\"", p) + 5;
      const std::string lon = segment.substr(lon_at, segment.find('"', lon_at) - lon_at);
      const std::size_t time_at = segment.find("<time>", p) + 6;
      const std::string time = segment.substr(time_at, segment.find('<', time_at) - time_at);
      points.push_back(lat + " " + lon + " " + time);
    }
    segments.push_back(points);
    at = end + 7;
  }
  return segments;
}

class GpxTrackTest : public ::testing::Test {
 protected:
  std::filesystem::path TrackFile() const { return folder_.Path() / "trasa.gpx"; }

  TempFolder folder_;
  DocumentSet set_{PlatformFileSystem(), folder_.Text()};
  Route& route_ = set_.route;
  GpxTrack& track_ = set_.track;
  RouteRecorder& recorder_ = set_.recorder;
};

TEST_F(GpxTrackTest, WritesTheKnownFlightByteForByte) {
  testing::Fly(recorder_, KnownFlight());
  // The last step was a moving fix: the file on disk is already whole, before any close.
  EXPECT_EQ(ReadBytes(TrackFile()), ExpectedDocument("track_known_flight.gpx"));
  track_.Save();
  EXPECT_EQ(ReadBytes(TrackFile()), ExpectedDocument("track_known_flight.gpx"));
  EXPECT_EQ(track_.DocumentText(), ExpectedDocument("track_known_flight.gpx"));
  EXPECT_EQ(route_.Points().size(), 5u);
  EXPECT_EQ(route_.SegmentCount(), 3u);
  EXPECT_EQ(folder_.Entries(), (std::set<std::string>{"trasa.gpx", "trasa.kml"}));
}

TEST_F(GpxTrackTest, SplitsTheKnownFlightAtItsFailedSampleAndItsReconnection) {
  testing::Fly(recorder_, KnownFlight());
  EXPECT_THAT(Segments(track_.DocumentText()),
              ElementsAre(ElementsAre("50.100000 14.250000 2024-02-29T23:58:30Z",
                                      "50.110000 14.260000 2024-02-29T23:59:30Z"),
                          ElementsAre("50.150000 14.300000 2024-03-01T00:02:30Z",
                                      "50.160000 14.310000 2024-03-01T00:03:30Z"),
                          ElementsAre("50.200000 14.400000 2024-03-01T00:10:00Z")));
}

TEST_F(GpxTrackTest, WritesTheKnownFlightUnderACommaLocale) {
  testing::CommaLocale comma;
  ASSERT_TRUE(comma.Active()) << "cannot set " << testing::CommaLocale::kNames[0]
                              << "; run scripts/ensure-packages.sh as root";
  testing::Fly(recorder_, KnownFlight());
  track_.Save();
  EXPECT_EQ(ReadBytes(TrackFile()), ExpectedDocument("track_known_flight.gpx"));
}

TEST_F(GpxTrackTest, WritesAnEmptyTrackWhenNoFixEverMoved) {
  recorder_.Break();
  recorder_.RecordFix({50.1, 14.25, 245.4, false}, kNoon);
  recorder_.Break();
  EXPECT_EQ(folder_.Entries(), std::set<std::string>{});  // nothing grew, nothing saved
  track_.Save();
  EXPECT_EQ(ReadBytes(TrackFile()), ExpectedDocument("track_empty.gpx"));
  EXPECT_EQ(route_.Points().size(), 0u);
  EXPECT_EQ(route_.SegmentCount(), 0u);
}

// A run of the update cycle: 'p' a moving fix, '|' a gap; and the number of points each
// segment must hold.
struct GapCase {
  std::string label;
  std::string steps;
  std::vector<std::size_t> segment_sizes;

  friend void PrintTo(const GapCase& c, std::ostream* out) { *out << '"' << c.steps << '"'; }
};

class TrackGapTest : public ::testing::TestWithParam<GapCase> {};

TEST_P(TrackGapTest, StartsANewSegmentExactlyWhereTheRouteResumes) {
  Route route;
  GpxTrack track(PlatformFileSystem(), route, "");
  std::vector<std::string> latitudes;  // in the order recorded
  int second = 0;
  for (const char step : GetParam().steps) {
    if (step == '|') {
      route.Break();
      continue;
    }
    const double latitude = 10.0 + static_cast<double>(latitudes.size());
    latitudes.push_back(std::to_string(static_cast<int>(latitude)) + ".000000");
    route.Add({latitude, 20.0, kNoon + std::chrono::seconds(second++)});
  }

  const auto segments = Segments(track.DocumentText());
  std::vector<std::size_t> sizes;
  std::vector<std::string> read_back;
  for (const auto& segment : segments) {
    sizes.push_back(segment.size());
    for (const std::string& point : segment) {
      read_back.push_back(point.substr(0, point.find(' ')));
    }
  }
  EXPECT_EQ(sizes, GetParam().segment_sizes);
  EXPECT_EQ(read_back, latitudes);  // every point once, in order
  EXPECT_EQ(route.SegmentCount(), GetParam().segment_sizes.size());
  EXPECT_EQ(route.Points().size(), latitudes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, TrackGapTest,
    ::testing::Values(GapCase{"NoGap", "ppp", {3}}, GapCase{"OneGap", "pp|pp", {2, 2}},
                      GapCase{"GapBeforeTheFirstPoint", "|pp", {2}},
                      GapCase{"GapsInARow", "p|||p", {1, 1}},
                      GapCase{"GapAfterTheLastPoint", "pp|", {2}}, GapCase{"OnlyGaps", "||", {}},
                      GapCase{"OnePointBetweenGaps", "pp|p|pp", {2, 1, 2}},
                      GapCase{"Nothing", "", {}}),
    [](const ::testing::TestParamInfo<GapCase>& info) { return info.param.label; });

TEST_F(GpxTrackTest, WritesWhatTheRouteHoldsWithoutSavingIt) {
  EXPECT_TRUE(route_.Add({-33.5, -0.5, kNoon}));
  EXPECT_EQ(folder_.Entries(), std::set<std::string>{});
  EXPECT_THAT(Segments(track_.DocumentText()),
              ElementsAre(ElementsAre("-33.500000 -0.500000 2024-05-17T12:00:00Z")));
}

TEST_F(GpxTrackTest, KeepsTheEarlierFileAndReportsThePathWhenTheSaveFails) {
  FailingFileSystem files(FailingFileSystem::Step::kReplace, "trasa.gpx");
  GpxTrack track(files, route_, folder_.Text());
  WriteBytes(TrackFile(), "earlier track\r\n");
  route_.Add({50.1, 14.25, kNoon});
  try {
    track.Save();
    FAIL() << "the save did not fail";
  } catch (const FileSaveError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot create file \"" + track.Path() + "\". " + FailingFileSystem::kWhy);
  }
  EXPECT_EQ(ReadBytes(TrackFile()), "earlier track\r\n");
  EXPECT_EQ(folder_.Entries(), std::set<std::string>{"trasa.gpx"});
}

TEST_F(GpxTrackTest, WritesThePolesAndTheAntimeridianWithinGpxRanges) {
  // GPX longitudes run from -180 up to, not including, 180: the meridian that would be written
  // as 180 is written as -180.
  for (const auto& [latitude, longitude] :
       {std::pair{90.0, 180.0}, std::pair{-90.0, 179.9999996}, std::pair{0.0, 179.9999994},
        std::pair{0.0, -180.0}, std::pair{-0.0000001, -0.0000004}}) {
    ASSERT_TRUE(route_.Add({latitude, longitude, kNoon}));
  }
  EXPECT_THAT(Segments(track_.DocumentText()),
              ElementsAre(ElementsAre("90.000000 -180.000000 2024-05-17T12:00:00Z",
                                      "-90.000000 -180.000000 2024-05-17T12:00:00Z",
                                      "0.000000 179.999999 2024-05-17T12:00:00Z",
                                      "0.000000 -180.000000 2024-05-17T12:00:00Z",
                                      "-0.000000 -0.000000 2024-05-17T12:00:00Z")));
}

TEST_F(GpxTrackTest, SavesBesideTheRouteDocument) {
  const std::string separator(1, kPathSeparator);
  EXPECT_EQ(track_.Path(), folder_.Text() + separator + "trasa.gpx");
  track_.SetDocumentsFolder("");
  EXPECT_EQ(track_.Path(), separator + "trasa.gpx");
  EXPECT_EQ(track_.DocumentsFolder(), "");
}

}  // namespace
}  // namespace quorvane
