// The connector over fake FSUIPC services, an in-memory network and a fake clock: which
// simulator it opens the link on, what it says about it, and what happens when the simulator
// goes silent.

#include "sources/simulator_connector.h"

#include <gtest/gtest.h>

#include <string>

#include "sampling/aircraft_sampler.h"
#include "sources/simulator_sample.h"
#include "sources/source_report.h"
#include "sources/xplane_source.h"
#include "tests/sources/fake_source_clock.h"
#include "tests/sources/xplane_datagrams.h"
#include "tests/support/fake_link_services.h"
#include "tests/support/fake_socket_services.h"

namespace quorvane::sources {
namespace {

using namespace std::chrono_literals;
using testing::RposDatagram;
using testing::RrefDatagram;

const net::Endpoint kFlightGearPort{net::kLoopbackAddress, 5510};
const net::Endpoint kXPlane{net::kLoopbackAddress, 49000};
const net::Endpoint kFlightGearSender{net::kLoopbackAddress, 41000};
const std::string kLine = "21.3189041,-157.9365388,3001.7,350.27,9.49,110.4,2020.3.16\n";

// An X-Plane request as "RPOS 10" or "RREF <rate> <index>".
std::string Request(const std::vector<std::uint8_t>& bytes) {
  const std::string kind(bytes.begin(), bytes.begin() + 4);
  if (kind == "RPOS") {
    return "RPOS " + std::string(reinterpret_cast<const char*>(&bytes[5]));
  }
  return kind + " " + std::to_string(bytes[5]) + " " + std::to_string(bytes[9]);
}

class Connector : public ::testing::Test {
 protected:
  Connector() {
    fsuipc_.windows.clear();  // no FSUIPC unless a test starts one
    fsuipc_.PutServerWords();
  }

  SimulatorConnector& Make(SimulatorAddresses addresses = {}) {
    connector_.emplace(fsuipc_, network_, addresses, clock_);
    return *connector_;
  }

  // Where the connector's X-Plane source asks X-Plane from, once it has asked.
  net::Endpoint XPlaneClient() {
    EXPECT_TRUE(network_.WaitForSent(kXPlane, 1, 5s)) << "X-Plane was never asked";
    const std::vector<testing::FakeDatagram> sent = network_.Sent();
    return sent.empty() ? net::Endpoint{} : sent.front().from;
  }

  // Answers as X-Plane would, once the connector's X-Plane source has asked.
  void XPlaneAnswers(float true_psi = 90.0f, float mag_psi = 80.0f) {
    const net::Endpoint client = XPlaneClient();
    network_.Deliver(kXPlane, client, RposDatagram(50.0875, 14.421, 400.0, 10.0f, true_psi));
    network_.Deliver(kXPlane, client,
                     RrefDatagram({{XPlaneSource::kVersionIndex, 121004.0f},
                                   {XPlaneSource::kTrueHeadingIndex, true_psi},
                                   {XPlaneSource::kMagneticHeadingIndex, mag_psi},
                                   {XPlaneSource::kGroundSpeedIndex, 100.0f}}));
  }

  std::string Sample() {
    AircraftSampler sampler(connector_->Link());
    std::string panel;
    SampleSimulator(*connector_, sampler, [&panel](const std::string& text) { panel = text; });
    return panel;
  }

  testing::FakeLinkServices fsuipc_;
  testing::FakeSocketServices network_;
  testing::FakeSourceClock clock_;
  std::optional<SimulatorConnector> connector_;
};

TEST_F(Connector, FsuipcFirstAndThenNoNetworkSourceAtAll) {
  fsuipc_.windows = {"UIPCMAIN"};
  SimulatorConnector& connector = Make();
  LinkResult result{};
  ASSERT_TRUE(connector.Open(result, 1s));
  EXPECT_EQ(result, LinkResult::Okay);
  EXPECT_EQ(connector.Answered(), Simulator::Fsuipc);
  EXPECT_EQ(connector.AnsweredText(), "");
  EXPECT_EQ(connector.Link().ServerVersion(), 0x36220002u);
  EXPECT_EQ(network_.OpenSockets(), 0) << "no port taken, nothing sent to X-Plane";
  EXPECT_TRUE(network_.Sent().empty());
}

TEST_F(Connector, WithoutAnySimulatorReportsFsuipcsFailure) {
  SimulatorConnector& connector = Make();
  LinkResult result{};
  EXPECT_FALSE(connector.Open(result, 50ms));
  EXPECT_EQ(result, LinkResult::NoServer);
  EXPECT_EQ(connector.Answered(), Simulator::None);
  EXPECT_FALSE(connector.Link().IsOpen());
  const std::vector<SourceStatus> sources = connector.Sources();
  ASSERT_EQ(sources.size(), 2u);
  EXPECT_EQ(SourceReportLine(sources[0]), "X-Plane at 127.0.0.1:49000: no datagram received");
  EXPECT_EQ(SourceReportLine(sources[1]),
            "FlightGear, listening on 127.0.0.1:5510: no datagram received");
}

TEST_F(Connector, FindsFlightGearAndNamesIt) {
  SimulatorConnector& connector = Make();
  LinkResult result{};
  ASSERT_FALSE(connector.Open(result));  // the first attempt starts listening
  ASSERT_TRUE(network_.Deliver(kFlightGearSender, kFlightGearPort, kLine));
  ASSERT_TRUE(connector.Open(result, 5s)) << LinkResultMessage(result);
  EXPECT_EQ(result, LinkResult::Okay);
  EXPECT_EQ(connector.Answered(), Simulator::FlightGear);
  EXPECT_EQ(connector.AnsweredText(), "FlightGear 2020.3.16");
  EXPECT_EQ(Sample(), "Lat: 21.318904   Lon: -157.936539   H:  340.02");
}

TEST_F(Connector, FindsXPlaneBeforeFlightGearAndNamesItsVersion) {
  SimulatorConnector& connector = Make();
  LinkResult result{};
  ASSERT_FALSE(connector.Open(result));
  network_.Deliver(kFlightGearSender, kFlightGearPort, kLine);
  XPlaneAnswers();
  ASSERT_TRUE(network_.WaitUntilIdle(kFlightGearPort, 5s));
  ASSERT_TRUE(network_.WaitUntilIdle(XPlaneClient(), 5s));
  ASSERT_TRUE(connector.Open(result));
  EXPECT_EQ(connector.Answered(), Simulator::XPlane);
  EXPECT_EQ(connector.AnsweredText(), "X-Plane 12.1.0");
  EXPECT_EQ(Sample(), "Lat: 50.087500   Lon: 14.421000   H:   79.81");
}

TEST_F(Connector, SilentSimulatorFailsTheSampleWithAClearTextAndResumes) {
  SimulatorConnector& connector = Make();
  LinkResult result{};
  connector.Open(result);
  network_.Deliver(kFlightGearSender, kFlightGearPort, kLine);
  ASSERT_TRUE(connector.Open(result, 5s));
  clock_.Advance(3001ms);
  EXPECT_EQ(Sample(), "Reading: FlightGear stopped sending");
  EXPECT_TRUE(connector.Link().IsOpen());

  network_.Deliver(kFlightGearSender, kFlightGearPort, "21.5,-157.9,3001.7,350.27,9.49,110.4\n");
  ASSERT_TRUE(network_.WaitUntilIdle(kFlightGearPort, 5s));
  EXPECT_EQ(Sample(), "Lat: 21.500000   Lon: -157.900000   H:  340.02") << "resumed";

  // A retry after the simulator fell silent finds nothing, and says FSUIPC's failure.
  connector.Close();
  clock_.Advance(5000ms);
  EXPECT_FALSE(connector.Open(result));
  EXPECT_EQ(result, LinkResult::NoServer);
}

TEST_F(Connector, FsuipcAppearingStopsTheNetworkSourcesAndEndsXPlanesSubscriptions) {
  SimulatorConnector& connector = Make();
  LinkResult result{};
  connector.Open(result);
  XPlaneAnswers();
  ASSERT_TRUE(connector.Open(result, 5s));
  EXPECT_EQ(connector.Answered(), Simulator::XPlane);
  connector.Close();

  fsuipc_.windows = {"UIPCMAIN"};
  ASSERT_TRUE(connector.Open(result));
  EXPECT_EQ(connector.Answered(), Simulator::Fsuipc);
  EXPECT_EQ(network_.OpenSockets(), 0);
  std::vector<std::string> to_xplane;
  for (const testing::FakeDatagram& datagram : network_.Sent()) {
    if (datagram.to == kXPlane) {
      to_xplane.push_back(Request(datagram.bytes));
    }
  }
  // The requests made (on the fake clock, only the first batch), then five that end the
  // position and every subscription.
  ASSERT_GT(to_xplane.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(to_xplane.end() - 5, to_xplane.end()),
            (std::vector<std::string>{"RPOS 0", "RREF 0 4", "RREF 0 1", "RREF 0 2", "RREF 0 3"}));
}

TEST_F(Connector, APortInUseIsReportedAndRetried) {
  network_.ports_in_use = {5510};
  SimulatorConnector& connector = Make();
  LinkResult result{};
  EXPECT_FALSE(connector.Open(result));
  EXPECT_EQ(result, LinkResult::NoServer);
  EXPECT_EQ(SourceReportLine(connector.Sources()[1]),
            "FlightGear, listening on 127.0.0.1:5510: cannot listen on 127.0.0.1:5510: Address "
            "already in use");
  network_.ports_in_use.clear();
  EXPECT_FALSE(connector.Open(result));
  EXPECT_EQ(SourceReportLine(connector.Sources()[1]),
            "FlightGear, listening on 127.0.0.1:5510: no datagram received");
}

TEST_F(Connector, AddressesAreResolvedAndCheckedAndAPortOfZeroTurnsASimulatorOff) {
  network_.hosts = {{"flightsim.lan", 0x0A000005}};
  SimulatorAddresses addresses;
  addresses.xplane_host = "flightsim.lan";
  addresses.flightgear_port = 0;
  {
    SimulatorConnector& connector = Make(addresses);
    LinkResult result{};
    connector.Open(result);
    ASSERT_EQ(connector.Sources().size(), 1u);
    EXPECT_TRUE(network_.WaitForSent({0x0A000005, 49000}, 1, 5s));
  }
  addresses.xplane_host = "nowhere.lan";
  addresses.flightgear_port = 5510;
  addresses.flightgear_host = "bad host!";
  SimulatorConnector& connector = Make(addresses);
  LinkResult result{};
  EXPECT_FALSE(connector.Open(result));
  EXPECT_EQ(result, LinkResult::NoServer);
  EXPECT_EQ(connector.Sources()[0].problem, "cannot find the address of \"nowhere.lan\"");
  EXPECT_EQ(connector.Sources()[1].problem, "\"bad host!\" is not a host name or address");
}

TEST_F(Connector, FlightGearFromAnotherComputerThanTheConfiguredOneIsIgnored) {
  SimulatorAddresses addresses;
  addresses.flightgear_address = "0.0.0.0";
  addresses.flightgear_host = "10.0.0.7";
  SimulatorConnector& connector = Make(addresses);
  LinkResult result{};
  connector.Open(result);
  network_.Deliver({0x0A000008, 5000}, kFlightGearPort, kLine);
  EXPECT_FALSE(connector.Open(result, 200ms));
  network_.Deliver({0x0A000007, 5000}, kFlightGearPort, kLine);
  EXPECT_TRUE(connector.Open(result, 5s));
  EXPECT_EQ(connector.Sources()[1].counts.wrong_sender, 1u);
}

TEST_F(Connector, OpeningAnOpenLinkChangesNothing) {
  SimulatorConnector& connector = Make();
  LinkResult result{};
  connector.Open(result);
  network_.Deliver(kFlightGearSender, kFlightGearPort, kLine);
  ASSERT_TRUE(connector.Open(result, 5s));
  EXPECT_FALSE(connector.Open(result));
  EXPECT_EQ(result, LinkResult::AlreadyOpen);
  EXPECT_EQ(connector.Answered(), Simulator::FlightGear);
}

TEST_F(Connector, LookAsksBeforeEachSliceAndGivesUpWhenTold) {
  SimulatorConnector& connector = Make();
  LinkResult result{};
  connector.Open(result);
  int asked = 0;
  // Given up before the first slice: nothing is opened, even what sends already.
  network_.Deliver(kFlightGearSender, kFlightGearPort, kLine);
  ASSERT_TRUE(network_.WaitUntilIdle(kFlightGearPort, 5s));
  EXPECT_FALSE(connector.Open(result, 5s, [&asked] { return ++asked < 1; }));
  EXPECT_EQ(result, LinkResult::NoServer);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(connector.Link().IsOpen());
  // Going on, the look finds it.
  EXPECT_TRUE(connector.Open(result, 5s, [&asked] { return ++asked > 0; }));
  EXPECT_EQ(connector.Answered(), Simulator::FlightGear);
  EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace quorvane::sources
