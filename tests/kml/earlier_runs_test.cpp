// What a start finds of earlier runs: the last flight kept before this run replaces it, and the
// temporary files of killed runs removed.

#include "kml/earlier_runs.h"

#include <gtest/gtest.h>

#include <chrono>

#include "files/platform_files.h"
#include "tests/kml/kml_test_support.h"

namespace quorvane {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
namespace fs = std::filesystem;

constexpr const char* kEmptyKml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<kml>\r\n<Document>\r\n<Placemark>\r\n"
    "        <coordinates></coordinates>\r\n</Placemark>\r\n</Document>\r\n</kml>\r\n";
constexpr const char* kFlownKml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<kml>\r\n<Document>\r\n<Placemark>\r\n"
    "        <coordinates>14.250000,50.100000,0 </coordinates>\r\n</Placemark>\r\n</Document>\r\n"
    "</kml>\r\n";
constexpr const char* kEmptyGpx =
    "<?xml version=\"1.0\"?>\r\n<gpx version=\"1.1\">\r\n  <trk>\r\n    <name>trasa</name>\r\n"
    "  </trk>\r\n</gpx>\r\n";
constexpr const char* kFlownGpx =
    "<?xml version=\"1.0\"?>\r\n<gpx version=\"1.1\">\r\n  <trk>\r\n    <trkseg>\r\n"
    "      <trkpt lat=\"50.1\" lon=\"14.25\"></trkpt>\r\n    </trkseg>\r\n  </trk>\r\n</gpx>\r\n";

// 2026-12-08 14:30:20 UTC.
constexpr std::time_t kWritten = 1796740220;

// The calendar time in UTC, standing in for the local time so that the names do not depend on
// the time zone the tests run in.
std::tm Utc(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const sys_seconds seconds = floor<std::chrono::seconds>(time);
  const sys_days day = floor<days>(seconds);
  const year_month_day date(day);
  const hh_mm_ss<std::chrono::seconds> clock(seconds - day);
  std::tm utc{};
  utc.tm_year = static_cast<int>(date.year()) - 1900;
  utc.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
  utc.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
  utc.tm_hour = static_cast<int>(clock.hours().count());
  utc.tm_min = static_cast<int>(clock.minutes().count());
  utc.tm_sec = static_cast<int>(clock.seconds().count());
  return utc;
}

void SetWritten(const fs::path& path, std::time_t seconds) {
  fs::last_write_time(
      path, fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(seconds)));
}

class EarlierRunsTest : public ::testing::Test {
 protected:
  void WriteRoute(const std::string& name, const std::string& text,
                  std::time_t written = kWritten) {
    WriteBytes(folder.Path() / name, text);
    SetWritten(folder.Path() / name, written);
  }
  fs::path Kept(const std::string& name) const { return folder.Path() / "Quorvane flights" / name; }

  TempFolder folder;
  EarlierRuns runs{PlatformFileSystem(), Utc};
};

TEST(HoldsAFlight, RouteFilesWithoutAPointAreNotFlights) {
  struct Case {
    std::string text;
    bool flight;
  };
  for (const Case& c :
       {Case{kEmptyKml, false}, Case{kFlownKml, true}, Case{kEmptyGpx, false},
        Case{kFlownGpx, true}, Case{"<kml><coordinates> \r\n </coordinates></kml>", false},
        Case{"<kml><coordinates></coordinates><coordinates>1,2,0 </coordinates>", true},
        Case{"<kml><coordinates>1,2,0 ", true},  // cut short: kept to be safe
        Case{"a file of the user's", true}, Case{"", true}}) {
    EXPECT_EQ(HoldsAFlight(c.text), c.flight) << c.text;
  }
}

TEST_F(EarlierRunsTest, FlightIsKeptNamedByWhenItWasLastWritten) {
  WriteRoute("trasa.kml", kFlownKml);
  WriteRoute("trasa.gpx", kFlownGpx);
  const auto kept = runs.KeepFlight(folder.Text());
  EXPECT_EQ(kept, (std::vector<std::string>{Kept("trasa 2026-12-08 1430.kml").string(),
                                            Kept("trasa 2026-12-08 1430.gpx").string()}));
  EXPECT_EQ(ReadBytes(Kept("trasa 2026-12-08 1430.kml")), kFlownKml);
  EXPECT_EQ(ReadBytes(Kept("trasa 2026-12-08 1430.gpx")), kFlownGpx);
  EXPECT_EQ(ReadBytes(folder.Path() / "trasa.kml"), kFlownKml) << "the route file stays";

  EXPECT_TRUE(runs.KeepFlight(folder.Text()).empty()) << "kept once, however often started";
  EXPECT_EQ(fs::directory_iterator(folder.Path() / "Quorvane flights") == fs::directory_iterator(),
            false);
}

TEST_F(EarlierRunsTest, AnotherFlightOfTheSameMinuteGetsANumber) {
  WriteRoute("trasa.kml", kFlownKml);
  runs.KeepFlight(folder.Text());
  const std::string other = std::string(kFlownKml) + "\r\n";
  WriteRoute("trasa.kml", other);
  EXPECT_EQ(runs.KeepFlight(folder.Text()),
            std::vector<std::string>{Kept("trasa 2026-12-08 1430 (2).kml").string()});
  EXPECT_EQ(ReadBytes(Kept("trasa 2026-12-08 1430 (2).kml")), other);
  EXPECT_EQ(ReadBytes(Kept("trasa 2026-12-08 1430.kml")), kFlownKml);
}

TEST_F(EarlierRunsTest, EmptyRouteIsNotKept) {
  WriteRoute("trasa.kml", kEmptyKml);
  WriteRoute("trasa.gpx", kEmptyGpx);
  EXPECT_TRUE(runs.KeepFlight(folder.Text()).empty());
  EXPECT_FALSE(fs::exists(folder.Path() / "Quorvane flights"));
}

TEST_F(EarlierRunsTest, FlightThatCannotBeKeptIsLeftAsItIs) {
  WriteRoute("trasa.kml", kFlownKml);
  WriteBytes(folder.Path() / "Quorvane flights", "a file where the folder goes");
  EXPECT_NO_THROW(runs.SeeTo(folder.Text()));
  EXPECT_TRUE(runs.KeepFlight(folder.Text()).empty());
  EXPECT_EQ(ReadBytes(folder.Path() / "trasa.kml"), kFlownKml);
  EXPECT_EQ(ReadBytes(folder.Path() / "Quorvane flights"), "a file where the folder goes");
  EXPECT_EQ(folder.Entries(), (std::set<std::string>{"Quorvane flights", "trasa.kml"}))
      << "no temporary file left";
}

TEST_F(EarlierRunsTest, TemporariesOfEndedRunsAreRemovedForEveryDocument) {
  const std::string ended = std::to_string(testing::EndedProcessId());
  for (const char* name :
       {"letadlo.kml", "trasa.kml", "trasa.gpx", "Quorvane live.kml", "Quorvane view.kml"}) {
    WriteBytes(folder.Path() / (std::string(name) + "." + ended + "-3.tmp"), "half");
  }
  WriteBytes(folder.Path() / ("notes.txt." + ended + "-3.tmp"), "not ours");
  runs.SeeTo(folder.Text());
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"notes.txt." + ended + "-3.tmp"});
}

}  // namespace
}  // namespace quorvane
