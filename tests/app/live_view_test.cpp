// The live view's sampling beside the update cycle, through the window's own events, on the
// fake clock with the in-process server.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/settings/ini_file.h"
#include "files/platform_files.h"
#include "tests/app/fake_placement_window.h"
#include "tests/app/form_harness.h"

namespace quorvane {
namespace {

using testing::FormHarness;

constexpr const char* kSummary = "Lat: 50.100000   Lon: 14.250000   H:   89.81";
constexpr int kExchangesPerSample = 7;

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class LiveViewTest : public ::testing::Test {
 protected:
  void Start() {
    h.form->OnCreate();
    h.form->OnShow();
  }
  std::string Read(const std::string& name) const { return h.ReadFile(h.File(name)); }
  std::string LiveAircraft() const { return Read("Quorvane live aircraft.kml"); }
  std::string View() const { return Read("Quorvane view.kml"); }
  std::string Track() const { return Read("trasa.gpx"); }
  std::string LiveRoute() const { return Read("Quorvane live route.kml"); }

  FormHarness h{PlatformFileSystem(), {}, std::nullopt, true};
  TForm1& form = *h.form;
};

// Between two updates only the live documents follow the aircraft; the update cycle's files,
// its timers and the viewer rule stay as they were.
TEST_F(LiveViewTest, LiveTicksRewriteOnlyTheLiveDocuments) {
  Start();
  form.OnAutoRunClicked(true);
  const std::string aircraft = h.ReadFile(h.AircraftFile());
  const std::string route = h.ReadFile(h.RouteFile());
  EXPECT_EQ(LiveAircraft(), aircraft) << "the same document as letadlo.kml";
  EXPECT_EQ(h.live_timer->period_ms(), 2000);
  const long long update_due = h.update_timer->due_ms();

  h.PutAircraft({51.5, -0.125, 90.0, 0.0, 0.0, 0.0});
  h.clock.Advance(2000);
  EXPECT_TRUE(Has(LiveAircraft(), "<coordinates>-0.125000,51.500000,10</coordinates>"));
  EXPECT_TRUE(Has(View(), "<latitude>51.500000</latitude>"));
  EXPECT_EQ(h.ReadFile(h.AircraftFile()), aircraft);
  EXPECT_EQ(h.ReadFile(h.RouteFile()), route);
  EXPECT_EQ(form.PanelText(2), kSummary) << "the status bar shows the update cycle's sample";
  EXPECT_EQ(h.update_timer->due_ms(), update_due);
  EXPECT_TRUE(h.platform.shell_requests.empty()) << "no viewer opened by a live sample";
  ASSERT_TRUE(form.Chart().latest);
  EXPECT_NEAR(form.Chart().latest->position.latitude, 51.5, 1e-6) << "the chart's aircraft too";
  EXPECT_EQ(form.Chart().last_update, h.Now() - std::chrono::milliseconds(2000))
      << "the chart's time of the latest update stays the update's";

  h.clock.Advance(58000);  // the update comes at its time, as ever
  EXPECT_TRUE(Has(h.ReadFile(h.AircraftFile()), "<latitude>51.500000</latitude>"));
  EXPECT_EQ(h.platform.shell_requests.size(), 1u);
}

// "Quorvane live.kml" reloads the live documents at the live rate, whatever the interval.
TEST_F(LiveViewTest, LiveFileLinksTheLiveDocumentsAtTheLiveRate) {
  Start();
  form.OnIntervalTyped("120");
  const std::string live = Read("Quorvane live.kml");
  EXPECT_EQ(Count(live, "<refreshInterval>2</refreshInterval>"), 3) << live;
  EXPECT_TRUE(Has(live, "<href>Quorvane live aircraft.kml</href>"));
  EXPECT_TRUE(Has(live, "<href>Quorvane live route.kml</href>"));
  EXPECT_TRUE(Has(live, "<href>Quorvane view.kml</href>"));
  EXPECT_FALSE(Has(live, "letadlo.kml"));
}

// A failed live sample neither shows nor retries; the live files keep the last good fix, and the
// live view waits for the update cycle to sample well before it uses the link again.
TEST_F(LiveViewTest, FailedLiveSampleShowsNothingAndStartsNoRetrying) {
  Start();
  const std::string live_aircraft = LiveAircraft();
  h.FailSamples(true);
  h.PutAircraft({51.5, -0.125, 90.0, 0.0, 0.0, 0.0});
  h.clock.Advance(2000);
  EXPECT_EQ(form.PanelText(2), kSummary);
  EXPECT_EQ(form.PanelText(1), "Connect: Okay");
  EXPECT_TRUE(h.view.errors.empty());
  EXPECT_FALSE(h.retry_timer->running());
  EXPECT_TRUE(h.update_timer->running());
  EXPECT_EQ(LiveAircraft(), live_aircraft);
  h.FailSamples(false);
  const std::size_t blocks = h.services.sent_blocks.size();
  h.clock.Advance(56000);  // live ticks until just before the update
  EXPECT_EQ(h.services.sent_blocks.size(), blocks) << "no live sample after a failed one";
  EXPECT_EQ(LiveAircraft(), live_aircraft);
  h.clock.Advance(2000);  // the update at 60 s samples well, then the live view again
  EXPECT_EQ(h.services.sent_blocks.size(), blocks + 2 * kExchangesPerSample);
  EXPECT_TRUE(Has(LiveAircraft(), "51.500000"));
}

// With "3D" ticked the live documents stand in 3D as well: the live aircraft at its altitude, the
// live route over every point, while "trasa.kml" keeps the update cycle's points, in 3D too.
TEST_F(LiveViewTest, LiveDocumentsFollowThreeD) {
  h.PutAircraft({50.1, 14.25, 0.0, 0.0, 80.0, 0.0, 914.5});
  Start();
  form.OnThreeDClicked(true);
  h.PutAircraft({50.11, 14.25, 0.0, 0.0, 80.0, 0.0, 1219.25});
  h.clock.Advance(2000);
  EXPECT_TRUE(Has(LiveAircraft(), "<altitudeMode>absolute</altitudeMode>")) << LiveAircraft();
  EXPECT_TRUE(Has(LiveAircraft(), "<coordinates>14.250000,50.110000,1219.2</coordinates>"));
  EXPECT_TRUE(Has(View(), "<altitude>1219.2</altitude>")) << View();
  EXPECT_TRUE(Has(LiveRoute(), "<extrude>1</extrude>")) << LiveRoute();
  EXPECT_TRUE(Has(LiveRoute(),
                  "<coordinates>14.250000,50.100000,914.5 14.250000,50.110000,1219.2 "
                  "</coordinates>"));
  h.PutAircraft({50.12, 14.25, 0.0, 0.0, 80.0, 0.0, 1500.0});
  h.clock.Advance(58000);  // the update
  const std::string route = h.ReadFile(h.RouteFile());
  EXPECT_TRUE(Has(route,
                  "<coordinates>14.250000,50.100000,914.5 14.250000,50.120000,1500.0 "
                  "</coordinates>"))
      << "trasa.kml: the update cycle's points only\n"
      << route;
  EXPECT_TRUE(Has(LiveRoute(), "14.250000,50.110000,1219.2 ")) << "the live route: every point";
  EXPECT_EQ(Count(LiveRoute(), ",1500.0 "), Count(Track(), "<ele>1500.0</ele>"));
}

// While the update cycle retries, the live view takes no sample; it resumes with the link.
TEST_F(LiveViewTest, NoLiveSampleWhileRetrying) {
  Start();
  h.ServerRunning(false);
  h.clock.Advance(60000);  // the update's sample fails: retrying every five seconds
  ASSERT_TRUE(h.retry_timer->running());
  const int attempts = h.services.send_attempts;
  h.clock.Advance(4999);  // two live ticks before the first attempt to reconnect
  EXPECT_EQ(h.services.send_attempts, attempts);
  h.ServerRunning(true);
  h.PutAircraft({51.5, -0.125, 90.0, 0.0, 0.0, 0.0});
  h.clock.Advance(1);  // reconnected, and the update samples
  ASSERT_FALSE(h.retry_timer->running());
  const std::size_t blocks = h.services.sent_blocks.size();
  h.clock.Advance(2000);
  EXPECT_EQ(h.services.sent_blocks.size(), blocks + kExchangesPerSample) << "live again";
}

// Ticks that come while another sample uses the link (the window takes events while the link
// waits): a live tick during the update is dropped; an update tick during a live sample cuts it
// short after the exchange under way, and the update runs at once, not inside it.
TEST_F(LiveViewTest, LiveTickDuringAnUpdateIsDropped) {
  Start();
  int nested = 0;
  h.services.on_send = [&](std::uint8_t* block) {
    const int before = h.services.send_attempts;
    form.OnLiveTimerTick();
    nested += h.services.send_attempts - before;
    return h.services.Serve(block);
  };
  const std::size_t blocks = h.services.sent_blocks.size();
  form.OnUpdateTimerTick();
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(h.services.sent_blocks.size(), blocks + kExchangesPerSample);
}

class UpdateTickDuringLiveSampleTest : public LiveViewTest,
                                       public ::testing::WithParamInterface<int> {};

TEST_P(UpdateTickDuringLiveSampleTest, UpdateWaitsAtMostOneExchangeAndNothingNests) {
  Start();
  const int tick_during = GetParam();  // the live sample's exchange during which it ticks
  int exchanges = 0;
  int nested = 0;
  int exchanges_when_updated = -1;
  h.update_timer->on_start = [&] { exchanges_when_updated = exchanges; };
  h.services.on_send = [&](std::uint8_t* block) {
    ++exchanges;
    if (exchanges == tick_during) {
      const int before = h.services.send_attempts;
      form.OnUpdateTimerTick();
      form.OnLiveTimerTick();
      nested += h.services.send_attempts - before;
    }
    return h.services.Serve(block);
  };
  h.PutAircraft({51.5, -0.125, 90.0, 0.0, 0.0, 0.0});
  form.OnLiveTimerTick();
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(exchanges_when_updated, tick_during + kExchangesPerSample)
      << "the live sample stopped after its exchange under way, and the update followed";
  EXPECT_TRUE(Has(h.ReadFile(h.AircraftFile()), "<latitude>51.500000</latitude>"));
  EXPECT_EQ(form.PanelText(2), "Lat: 51.500000   Lon: -0.125000   H:   89.81");
  EXPECT_EQ(h.update_timer->due_ms(), h.clock.now_ms() + 60000) << "a fresh period";
  EXPECT_TRUE(h.view.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(Exchanges, UpdateTickDuringLiveSampleTest,
                         ::testing::Values(1, 3, kExchangesPerSample));

// The GPX track takes the live points while the aircraft moves; "trasa.kml" keeps the update
// cycle's, every one of which is in the track too; the live route shows them all.
struct RateCase {
  int seconds;
  int track_points;  // over one minute from start: two updates and the live samples between
};

class LiveRateTest : public ::testing::TestWithParam<RateCase> {};

TEST_P(LiveRateTest, TrackRecordsAtTheLiveRate) {
  const RateCase rate = GetParam();
  const std::string folder = testing::UniqueTemporaryFolder("quorvane-live-ini");
  const std::string ini = folder + "/quorvane.INI";
  std::ofstream(ini, std::ios::binary) << "[LiveView]\r\nSeconds=" << rate.seconds << "\r\n";
  IniFiles ini_files(PlatformFileSystem());
  testing::FakePlacementWindow window;
  FormHarness h(PlatformFileSystem(), {}, SettingsPlace{window, ini_files, ini}, true);
  h.PutAircraft({50.1, 14.25, 90.0, 0.0, 80.0, 0.0});
  h.form->OnCreate();
  h.form->OnShow();
  for (int i = 0; i < 60; ++i) {
    h.PutAircraft({50.1 + 0.001 * i, 14.25, 90.0, 0.0, 80.0, 0.0});
    h.clock.Advance(1000);
  }
  const std::string track = h.ReadFile(h.File("trasa.gpx"));
  const std::string route = h.ReadFile(h.RouteFile());
  const std::string live_route = h.ReadFile(h.File("Quorvane live route.kml"));
  EXPECT_EQ(Count(track, "<trkpt "), rate.track_points);
  EXPECT_EQ(Count(track, "<trkseg>"), 1);
  EXPECT_EQ(Count(route, ",0 "), 2) << "trasa.kml: the two updates only";
  EXPECT_EQ(Count(live_route, ",0 "), rate.track_points);
  EXPECT_TRUE(Has(track,
                  "<trkpt lat=\"50.100000\" lon=\"14.250000\">\r\n"
                  "        <ele>0.0</ele>\r\n"
                  "        <time>2024-02-29T23:59:00Z</time>"));
  EXPECT_TRUE(Has(track,
                  "<trkpt lat=\"50.159000\" lon=\"14.250000\">\r\n"
                  "        <ele>0.0</ele>\r\n"
                  "        <time>2024-03-01T00:00:00Z</time>"));
  EXPECT_TRUE(Has(route, "14.250000,50.100000,0 14.250000,50.159000,0 "));
  std::filesystem::remove_all(folder);
}

// 1 s: 60 live points and the update at start (the one at 60 s comes with a live one).
INSTANTIATE_TEST_SUITE_P(Rates, LiveRateTest,
                         ::testing::Values(RateCase{1, 62}, RateCase{2, 32}, RateCase{10, 8}));

}  // namespace
}  // namespace quorvane
