// The window following X-Plane and FlightGear through the connector, driven through its events:
// the connector over the harness's fake FSUIPC services (no FSUIPC unless a test starts one), an
// in-memory network and a fake source clock. Nothing waits for real: what the simulators send
// during the look at start-up is sent while the look hands the window its events.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/connector_link.h"
#include "app/main_form.h"
#include "sources/simulator_connector.h"
#include "sources/xplane_source.h"
#include "tests/app/form_harness.h"
#include "tests/sources/fake_source_clock.h"
#include "tests/sources/xplane_datagrams.h"
#include "tests/support/fake_socket_services.h"

namespace quorvane {
namespace {

using namespace std::chrono_literals;
using sources::SimulatorAddresses;
using testing::FormHarness;

const net::Endpoint kFlightGearPort{net::kLoopbackAddress, 5510};
const net::Endpoint kFlightGearSender{net::kLoopbackAddress, 41000};
const net::Endpoint kXPlane{net::kLoopbackAddress, 49000};
// FlightGear's line: latitude, longitude, altitude (ft), true heading, variation (east), ground
// speed (kt), version. 250 kt is over the route's 60 m/s.
const std::string kHonolulu = "21.3189041,-157.9365388,3001.7,350.27,9.49,250.0,2020.3.16\n";
const std::string kFurtherNorth = "21.4000000,-157.9365388,3001.7,350.27,9.49,250.0,2020.3.16\n";
constexpr const char* kHonoluluSummary = "Lat: 21.318904   Lon: -157.936539   H:  340.02";
constexpr const char* kNoServer = "Connect: Cannot link to FSUIPC or WideClient";

// Passes everything on, keeping how long each opening was allowed to look.
class RecordingLink final : public SimulatorLink {
 public:
  explicit RecordingLink(SimulatorLink& inner) : inner_(inner) {}
  FsuipcLink& Link() override { return inner_.Link(); }
  bool Open(LinkResult& result, std::chrono::milliseconds look) override {
    looks.push_back(look);
    return inner_.Open(result, look);
  }
  void Close() override { inner_.Close(); }
  std::string AnsweredText() const override { return inner_.AnsweredText(); }
  std::optional<AircraftFix> Sample(AircraftSampler& sampler, const PanelText& panel) override {
    return inner_.Sample(sampler, panel);
  }

  std::vector<std::chrono::milliseconds> looks;

 private:
  SimulatorLink& inner_;
};

class WindowOnOtherSimulators : public ::testing::Test {
 protected:
  WindowOnOtherSimulators() { h.ServerRunning(false); }

  // The window over a connector looking at `addresses`.
  void Make(SimulatorAddresses addresses = {}) {
    connector_.emplace(h.services, network_, addresses, source_clock_);
    link_.emplace(*connector_, h.services.interrupt);
    recording_.emplace(*link_);
    h.UseSimulator(*recording_);
  }
  // Runs `action` the first time a look hands the window its events; counts every time.
  void WhileLooking(std::function<void()> action) {
    h.services.interrupt.SetWhileWaiting([this, action = std::move(action)] {
      if (slices_++ == 0 && action) {
        action();
      }
    });
  }
  void Start() {
    h.form->OnCreate();
    h.form->OnShow();
  }

  void FlightGearSends(const std::string& line, const net::Endpoint& from = kFlightGearSender) {
    ASSERT_TRUE(network_.Deliver(from, kFlightGearPort, line));
    ASSERT_TRUE(network_.WaitUntilIdle(kFlightGearPort, 10s));
  }
  // Answers as X-Plane would, once the connector's X-Plane source has asked.
  void XPlaneAnswers() {
    ASSERT_TRUE(network_.WaitForSent(kXPlane, 1, 10s)) << "X-Plane was never asked";
    const net::Endpoint client = network_.Sent().front().from;
    network_.Deliver(kXPlane, client, testing::RposDatagram(50.0875, 14.421, 400.0, 10.0f, 90.0f));
    network_.Deliver(kXPlane, client,
                     testing::RrefDatagram({{sources::XPlaneSource::kVersionIndex, 121004.0f},
                                            {sources::XPlaneSource::kTrueHeadingIndex, 90.0f},
                                            {sources::XPlaneSource::kMagneticHeadingIndex, 80.0f},
                                            {sources::XPlaneSource::kGroundSpeedIndex, 100.0f}}));
    ASSERT_TRUE(network_.WaitUntilIdle(client, 10s));
  }

  // Declared first: gone last, after the connector that uses its services.
  FormHarness h;
  testing::FakeSocketServices network_;
  testing::FakeSourceClock source_clock_;
  std::optional<sources::SimulatorConnector> connector_;
  std::optional<ConnectorLink> link_;
  std::optional<RecordingLink> recording_;
  int slices_ = 0;  // the times a look handed the window its events
};

TEST_F(WindowOnOtherSimulators, FlightGearFoundAtStartUpIsNamedAndFollowed) {
  Make();
  WhileLooking([this] { FlightGearSends(kHonolulu); });
  Start();
  EXPECT_EQ(h.form->PanelText(0), "FlightGear 2020.3.16");
  EXPECT_EQ(h.form->PanelText(1), "Connect: Okay");
  EXPECT_EQ(h.form->PanelText(2), kHonoluluSummary);
  EXPECT_NE(h.ReadFile(h.AircraftFile()).find("-157.936539"), std::string::npos);
  EXPECT_EQ(recording_->looks, std::vector<std::chrono::milliseconds>{1000ms});
  EXPECT_TRUE(h.update_timer->running());
  EXPECT_FALSE(h.retry_timer->running());

  // Flying on: every update follows, and the route grows at this speed.
  FlightGearSends(kFurtherNorth);
  h.clock.Advance(60000);
  EXPECT_EQ(h.form->PanelText(2), "Lat: 21.400000   Lon: -157.936539   H:  340.02");
  ASSERT_TRUE(h.form->OnCloseRequested());
  EXPECT_NE(h.ReadFile(h.RouteFile()).find("21.4"), std::string::npos);
}

TEST_F(WindowOnOtherSimulators, XPlaneComesBeforeFlightGearAndNamesItsVersion) {
  Make();
  WhileLooking([this] {
    FlightGearSends(kHonolulu);
    XPlaneAnswers();
  });
  Start();
  EXPECT_EQ(h.form->PanelText(0), "X-Plane 12.1.0");
  EXPECT_EQ(h.form->PanelText(1), "Connect: Okay");
  // 90 degrees true in FSUIPC's unit reads 89.81, less 10 east.
  EXPECT_EQ(h.form->PanelText(2), "Lat: 50.087500   Lon: 14.421000   H:   79.81");
}

TEST_F(WindowOnOtherSimulators, FsuipcAnsweringShowsWhatTheBareLinkShowsAndTouchesNoNetwork) {
  FormHarness bare;
  bare.form->OnCreate();
  h.ServerRunning(true);
  Make();
  WhileLooking(nullptr);
  Start();
  for (int panel = 0; panel < 3; ++panel) {
    EXPECT_EQ(h.form->PanelText(panel), bare.form->PanelText(panel)) << panel;
  }
  EXPECT_EQ(h.form->PanelText(0), "FSUIPC Version: 3.622b");
  EXPECT_EQ(h.ReadFile(h.AircraftFile()), bare.ReadFile(bare.AircraftFile()));
  EXPECT_EQ(slices_, 0) << "no look when FSUIPC answers";
  EXPECT_EQ(network_.OpenSockets(), 0);
  EXPECT_TRUE(network_.Sent().empty());
}

TEST_F(WindowOnOtherSimulators, NothingAnsweringShowsFsuipcsFailureAndRetriesWithoutLooking) {
  network_.ports_in_use = {kFlightGearPort.port};
  SimulatorAddresses addresses;
  addresses.xplane_port = 0;
  Make(addresses);
  WhileLooking(nullptr);
  Start();
  EXPECT_EQ(h.form->PanelText(1), kNoServer);
  EXPECT_EQ(h.form->PanelText(0), "");
  EXPECT_FALSE(h.Exists(h.AircraftFile()));
  EXPECT_TRUE(h.retry_timer->running());
  EXPECT_EQ(slices_, 0) << "nothing could send: nothing to wait for";
  h.clock.Advance(10000);
  EXPECT_EQ(h.form->PanelText(1), kNoServer);
  EXPECT_EQ(recording_->looks, (std::vector<std::chrono::milliseconds>{1000ms, 0ms, 0ms}));
}

TEST_F(WindowOnOtherSimulators, SimulatorThatStopsFailsTheSampleAndIsFollowedAgainWhenItSends) {
  Make();
  WhileLooking([this] { FlightGearSends(kHonolulu); });
  Start();
  ASSERT_EQ(h.form->PanelText(2), kHonoluluSummary);
  const std::string before = h.ReadFile(h.AircraftFile());

  source_clock_.Advance(4s);  // silent for longer than a reading stays current
  h.clock.Advance(60000);
  EXPECT_EQ(h.form->PanelText(2), "Reading: FlightGear stopped sending");
  EXPECT_EQ(h.ReadFile(h.AircraftFile()), before) << "no old position written as current";
  EXPECT_FALSE(h.update_timer->running());
  EXPECT_TRUE(h.retry_timer->running());

  h.clock.Advance(5000);
  EXPECT_EQ(h.form->PanelText(1), kNoServer);
  EXPECT_EQ(slices_, 1) << "the retries do not wait";

  FlightGearSends(kFurtherNorth);
  h.clock.Advance(5000);
  EXPECT_EQ(h.form->PanelText(1), "Connect: Okay");
  EXPECT_EQ(h.form->PanelText(0), "FlightGear 2020.3.16");
  EXPECT_EQ(h.form->PanelText(2), "Lat: 21.400000   Lon: -157.936539   H:  340.02");
  EXPECT_NE(h.ReadFile(h.AircraftFile()).find("21.4"), std::string::npos);
  EXPECT_TRUE(h.update_timer->running());
  EXPECT_FALSE(h.retry_timer->running());
  EXPECT_EQ(recording_->looks, (std::vector<std::chrono::milliseconds>{1000ms, 0ms, 0ms}));
}

TEST_F(WindowOnOtherSimulators, CloseDuringTheLookAtStartUpEndsItAtOnceAndOpensNothing) {
  Make();
  WhileLooking([this] {
    FlightGearSends(kHonolulu);
    EXPECT_TRUE(h.form->OnCloseRequested());
  });
  Start();
  EXPECT_TRUE(h.form->Closed());
  EXPECT_EQ(slices_, 1);
  EXPECT_EQ(h.form->PanelText(1), kNoServer);
  EXPECT_FALSE(h.Exists(h.AircraftFile())) << "nothing sampled after the close";
}

TEST_F(WindowOnOtherSimulators, FlightGearDatagramsFromAnotherComputerAreIgnored) {
  SimulatorAddresses addresses;
  addresses.xplane_port = 0;
  addresses.flightgear_address = "0.0.0.0";
  addresses.flightgear_host = "10.0.0.7";
  Make(addresses);
  const net::Endpoint any_address{net::kAnyAddress, kFlightGearPort.port};
  WhileLooking([&] {
    ASSERT_TRUE(network_.Deliver({0x0a000007, 41000}, any_address, kHonolulu));
    ASSERT_TRUE(network_.Deliver({0x0a000008, 41000}, any_address, kFurtherNorth));
    ASSERT_TRUE(network_.WaitUntilIdle(any_address, 10s));
  });
  Start();
  EXPECT_EQ(h.form->PanelText(1), "Connect: Okay");
  EXPECT_EQ(h.form->PanelText(2), kHonoluluSummary)
      << "the later datagram of 10.0.0.8 is not taken";
}

}  // namespace
}  // namespace quorvane
