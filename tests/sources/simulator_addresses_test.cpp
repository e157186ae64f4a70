#include <gtest/gtest.h>
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "net/endpoint.h"
#include "sources/simulator_addresses.h"
#include "sources/simulator_options.h"
#include "sources/source_report.h"

namespace quorvane::sources {
namespace {

TEST(Ports, DecimalFrom0To65535Only) {
  EXPECT_EQ(ParsePort("0"), 0);
  EXPECT_EQ(ParsePort("5510"), 5510);
  EXPECT_EQ(ParsePort("65535"), 65535);
  EXPECT_EQ(ParsePort("00049"), 49);
  for (const char* bad :
       {"", "65536", "99999", "100000", "-1", "+5", " 5", "5 ", "0x10", "5a", "1e3", "4.5"}) {
    EXPECT_FALSE(ParsePort(bad).has_value()) << bad;
  }
}

TEST(Hosts, NamesAndAddressesWithoutOddCharacters) {
  for (const char* good : {"127.0.0.1", "localhost", "flight-sim.lan", "PC_2", "0.0.0.0"}) {
    EXPECT_TRUE(PlausibleHost(good)) << good;
  }
  for (const std::string& bad :
       {std::string(), std::string("bad host"), std::string("host:49000"), std::string("a/b"),
        std::string(254, 'a'), std::string("x\0y", 3), std::string("h\n")}) {
    EXPECT_FALSE(PlausibleHost(bad)) << bad;
  }
}

TEST(DottedAddresses, FourDecimalNumbersUpTo255) {
  EXPECT_EQ(net::ParseDottedAddress("127.0.0.1"), 0x7F000001u);
  EXPECT_EQ(net::ParseDottedAddress("255.255.255.255"), 0xFFFFFFFFu);
  EXPECT_EQ(net::ParseDottedAddress("0.0.0.0"), 0u);
  for (const char* bad : {"", "localhost", "10.1", "1.2.3", "1.2.3.4.5", "256.0.0.1", "1..2.3",
                          "1.2.3.4 ", "01234.0.0.1", "-1.2.3.4", "1.2.3.x"}) {
    EXPECT_FALSE(net::ParseDottedAddress(bad).has_value()) << bad;
  }
  EXPECT_EQ(net::FormatEndpoint({0xC0A80107, 49000}), "192.168.1.7:49000");
  EXPECT_TRUE(net::IsLoopback(0x7F000002));
  EXPECT_FALSE(net::IsLoopback(0x80000001));
}

// Parses a command line with the simulators' options; the parser's error, or empty.
std::string Parse(std::vector<std::string> arguments, SimulatorAddresses& addresses) {
  CLI::App app;
  AddSimulatorOptions(app, addresses);
  std::vector<const char*> argv = {"program"};
  for (const std::string& argument : arguments) {
    argv.push_back(argument.c_str());
  }
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::ParseError& error) {
    return error.what();
  }
  return {};
}

TEST(SimulatorOptions, SetTheAddressesAndRefuseBadValues) {
  SimulatorAddresses addresses;
  EXPECT_EQ(Parse({}, addresses), "");
  EXPECT_EQ(addresses.xplane_host, "127.0.0.1");
  EXPECT_EQ(addresses.xplane_port, 49000);
  EXPECT_EQ(addresses.flightgear_address, "127.0.0.1");
  EXPECT_EQ(addresses.flightgear_port, 5510);
  EXPECT_EQ(addresses.flightgear_host, "");

  EXPECT_EQ(Parse({"--xplane-host", "sim.lan", "--xplane-port", "49001", "--flightgear-address",
                   "0.0.0.0", "--flightgear-port", "0", "--flightgear-host", "10.0.0.7"},
                  addresses),
            "");
  EXPECT_EQ(addresses.xplane_host, "sim.lan");
  EXPECT_EQ(addresses.xplane_port, 49001);
  EXPECT_EQ(addresses.flightgear_address, "0.0.0.0");
  EXPECT_EQ(addresses.flightgear_port, 0);
  EXPECT_EQ(addresses.flightgear_host, "10.0.0.7");

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--xplane-port", "65536"},
                                              std::vector<std::string>{"--flightgear-port", "-1"},
                                              std::vector<std::string>{"--xplane-port", "port"},
                                              std::vector<std::string>{"--xplane-host", "a b"},
                                              std::vector<std::string>{"--flightgear-host", ""}}) {
    SimulatorAddresses unchanged;
    EXPECT_NE(Parse(bad, unchanged), "") << bad[0] << " " << bad[1];
    EXPECT_EQ(unchanged.xplane_port, 49000);
    EXPECT_EQ(unchanged.flightgear_port, 5510);
    EXPECT_EQ(unchanged.xplane_host, "127.0.0.1");
  }
}

TEST(SourceReport, SaysWhatWasReceivedAndWhyItWasIgnored) {
  SourceStatus status;
  status.where = "FlightGear, listening on 127.0.0.1:5510";
  EXPECT_EQ(SourceReportLine(status),
            "FlightGear, listening on 127.0.0.1:5510: no datagram received");
  status.counts.wrong_sender = 25;
  EXPECT_EQ(SourceReportLine(status),
            "FlightGear, listening on 127.0.0.1:5510: 25 datagrams received, none taken; "
            "ignored: 25 from another address");
  status.counts = {};
  status.counts.accepted = 7;
  status.counts.truncated = 1;
  status.counts.oversized = 2;
  status.counts.wrong_header = 3;
  status.counts.bad_value = 4;
  status.counts.unknown_index = 5;
  EXPECT_EQ(SourceReportLine(status),
            "FlightGear, listening on 127.0.0.1:5510: 22 datagrams received, 7 taken; ignored: 1 "
            "too short, 2 too long, 3 of another kind, 4 with bad values, 5 of unknown "
            "subscriptions");
  status.problem = "cannot listen on 127.0.0.1:5510: Address already in use";
  EXPECT_EQ(SourceReportLine(status),
            "FlightGear, listening on 127.0.0.1:5510: cannot listen on 127.0.0.1:5510: Address "
            "already in use");
}

}  // namespace
}  // namespace quorvane::sources
