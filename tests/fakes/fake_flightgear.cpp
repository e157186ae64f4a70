// fake-flightgear: sends what FlightGear's generic output sends with the project's protocol
// (flightgear/Protocol/quorvane.xml), one line per datagram, for end-to-end tests: a standing
// aircraft, or the lines of a recording; with faults: pauses, an end, garbage, another sender.

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "net/endpoint.h"
#include "net/socket_services.h"

namespace {

using namespace quorvane;

// Datagrams no FlightGear sends: each kind of fault a receiver must ignore.
const std::vector<std::string> kGarbage = {
    "21.3189041,-157.9365388,3001.7\n",                          // too few fields
    std::string(300, '7'),                                       // too long
    "nan,-157.9365388,3001.7,350.27,9.49,110.4\n",               // not a number
    "21.3189041,-157.9365388,3001.7,inf,9.49,110.4\n",           // infinite
    "95.0,-157.9365388,3001.7,350.27,9.49,110.4\n",              // out of range
    "RPOS4 not a FlightGear line at all",                        // another kind
    "21.3189041,-157.9365388,3001.7,350.27,9.49,110.4,1,2,3\n",  // too many fields
    std::string("\0\xff\x01garbage", 11),                        // binary
};

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (!line.empty()) {
      lines.push_back(line);
    }
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"fake-flightgear: sends FlightGear generic-protocol lines over UDP (for tests)"};
  std::string host = "127.0.0.1";
  int port = 5510;
  std::string from = "0.0.0.0";
  double rate = 5.0;
  std::string replay;
  bool loop = false;
  double lat = 50.0875, lon = 14.421, alt_ft = 1200.0, heading = 95.0, magvar = 0.0, speed_kt = 0.0;
  std::string version;
  long long count = 0;
  long long pause_after = 0;
  double pause_seconds = 0.0;
  int garbage = 0;
  bool only_garbage = false;
  app.add_option("--host", host, "Address to send to")->capture_default_str();
  app.add_option("--port", port, "Port to send to")
      ->check(CLI::Range(1, 65535))
      ->capture_default_str();
  app.add_option("--from", from, "Local address to send from")->capture_default_str();
  app.add_option("--rate", rate, "Lines a second")
      ->check(CLI::Range(0.1, 1000.0))
      ->capture_default_str();
  app.add_option("--replay", replay,
                 "Send the lines of this file (lat,lon,alt_ft,heading,magvar,kt)");
  app.add_flag("--loop", loop, "Start the replay over at its end (else stop there)");
  app.add_option("--lat", lat);
  app.add_option("--lon", lon);
  app.add_option("--alt-ft", alt_ft);
  app.add_option("--heading", heading, "True heading, degrees");
  app.add_option("--magvar", magvar, "Magnetic variation, degrees east");
  app.add_option("--speed-kt", speed_kt, "Ground speed, knots");
  app.add_option("--version", version, "FlightGear's version, sent as a seventh field");
  app.add_option("--count", count, "Stop after this many lines (0: never)");
  app.add_option("--pause-after", pause_after, "Fall silent after this many lines ...");
  app.add_option("--pause", pause_seconds, "... for this many seconds, then go on");
  app.add_option("--garbage", garbage, "Bad datagrams sent before every line");
  app.add_flag("--only-garbage", only_garbage, "Send bad datagrams only");
  CLI11_PARSE(app, argc, argv);

  net::SocketServices& sockets = net::PlatformSocketServices();
  const auto to_address = net::ParseDottedAddress(host);
  const auto from_address = net::ParseDottedAddress(from);
  if (!to_address || !from_address) {
    std::fprintf(stderr, "fake-flightgear: --host and --from take dotted addresses\n");
    return 2;
  }
  std::string error;
  const auto socket = sockets.OpenUdp({*from_address, 0}, error);
  if (socket == 0) {
    std::fprintf(stderr, "fake-flightgear: %s\n", error.c_str());
    return 1;
  }
  const net::Endpoint to{*to_address, static_cast<std::uint16_t>(port)};

  std::vector<std::string> lines;
  if (!replay.empty()) {
    lines = ReadLines(replay);
    if (lines.empty()) {
      std::fprintf(stderr, "fake-flightgear: no lines in %s\n", replay.c_str());
      return 1;
    }
  } else {
    char line[200];
    std::snprintf(line, sizeof line, "%.7f,%.7f,%.1f,%.2f,%.2f,%.1f", lat, lon, alt_ft, heading,
                  magvar, speed_kt);
    lines.push_back(line);
    loop = true;  // a standing aircraft is sent until killed
  }

  const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(1.0 / rate));
  auto next = std::chrono::steady_clock::now();
  std::size_t garbage_kind = 0;
  for (long long sent = 0, at = 0; count == 0 || sent < count; ++sent) {
    if (pause_after != 0 && sent == pause_after) {
      next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
          std::chrono::duration<double>(pause_seconds));
    }
    std::this_thread::sleep_until(next);
    next += period;
    for (int i = 0; i < garbage || (only_garbage && i == 0); ++i) {
      const std::string& bad = kGarbage[garbage_kind++ % kGarbage.size()];
      sockets.SendTo(socket, to, reinterpret_cast<const std::uint8_t*>(bad.data()), bad.size());
    }
    if (only_garbage) {
      continue;
    }
    if (static_cast<std::size_t>(at) == lines.size()) {
      if (!loop) {
        break;
      }
      at = 0;
    }
    std::string line = lines[static_cast<std::size_t>(at++)];
    if (!version.empty()) {
      line += "," + version;
    }
    line += "\n";
    sockets.SendTo(socket, to, reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
  }
  sockets.Close(socket);
  return 0;
}
