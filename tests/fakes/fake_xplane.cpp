// fake-xplane: answers like X-Plane's built-in UDP interface, for end-to-end tests: RPOS and RREF
// subscriptions from any client, answered to the client's address and port at the rates asked,
// with a standing or moving aircraft; with faults: a freeze, lost subscriptions, garbage,
// answers from another address. Logs every request it receives.

#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "net/endpoint.h"
#include "net/socket_services.h"

namespace {

using namespace quorvane;
using Clock = std::chrono::steady_clock;

struct Aircraft {
  double lat = 50.0875, lon = 14.421, elevation = 380.0, agl = 0.0;
  double heading = 95.0;  // true
  double magvar = 0.0;    // east positive
  double speed = 0.0;     // m/s, flying along the heading
};

struct Subscription {
  int rate = 0;
  std::string dataref;
  Clock::time_point next{};
};

struct Client {
  int rpos_rate = 0;
  Clock::time_point rpos_next{};
  std::map<std::int32_t, Subscription> rrefs;
};

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t bits) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>(bits >> shift));
  }
}

void PutFloat(std::vector<std::uint8_t>& out, float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  PutU32(out, bits);
}

void PutDouble(std::vector<std::uint8_t>& out, double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  PutU32(out, static_cast<std::uint32_t>(bits));
  PutU32(out, static_cast<std::uint32_t>(bits >> 32));
}

std::int32_t LoadI32(const std::uint8_t* at) {
  std::uint32_t bits = 0;
  for (int i = 3; i >= 0; --i) {
    bits = bits << 8 | at[i];
  }
  return static_cast<std::int32_t>(bits);
}

// The aircraft after `seconds` of flight along its heading.
Aircraft At(const Aircraft& start, double seconds) {
  constexpr double kPi = 3.14159265358979323846;
  constexpr double kMetresPerDegree = 111320.0;
  Aircraft now = start;
  const double metres = start.speed * seconds;
  now.lat += metres * std::cos(start.heading * kPi / 180.0) / kMetresPerDegree;
  now.lon += metres * std::sin(start.heading * kPi / 180.0) /
             (kMetresPerDegree * std::cos(start.lat * kPi / 180.0));
  return now;
}

std::vector<std::uint8_t> Rpos(const Aircraft& a) {
  std::vector<std::uint8_t> out = {'R', 'P', 'O', 'S', '4'};
  PutDouble(out, a.lon);
  PutDouble(out, a.lat);
  PutDouble(out, a.elevation);
  PutFloat(out, static_cast<float>(a.agl));
  PutFloat(out, 2.0f);  // pitch
  PutFloat(out, static_cast<float>(a.heading));
  PutFloat(out, 0.0f);  // roll
  constexpr double kPi = 3.14159265358979323846;
  PutFloat(out, static_cast<float>(a.speed * std::sin(a.heading * kPi / 180.0)));   // east
  PutFloat(out, 0.0f);                                                              // up
  PutFloat(out, static_cast<float>(-a.speed * std::cos(a.heading * kPi / 180.0)));  // south
  for (int i = 0; i < 3; ++i) {
    PutFloat(out, 0.0f);
  }
  return out;
}

float DatarefValue(const std::string& name, const Aircraft& a, int version) {
  if (name == "sim/flightmodel/position/true_psi") {
    return static_cast<float>(a.heading);
  }
  if (name == "sim/flightmodel/position/mag_psi") {
    return static_cast<float>(std::fmod(a.heading - a.magvar + 360.0, 360.0));
  }
  if (name == "sim/flightmodel/position/magnetic_variation") {
    return static_cast<float>(-a.magvar);  // as some clients believe X-Plane signs it
  }
  if (name == "sim/flightmodel/position/groundspeed") {
    return static_cast<float>(a.speed);
  }
  if (name == "sim/version/xplane_internal_version") {
    return static_cast<float>(version);
  }
  return 0.0f;
}

const std::vector<std::vector<std::uint8_t>>& Garbage() {
  static const std::vector<std::vector<std::uint8_t>> garbage = [] {
    std::vector<std::vector<std::uint8_t>> list;
    list.push_back({'R', 'P', 'O', 'S', '4', 1, 2, 3});  // truncated position
    list.push_back(std::vector<std::uint8_t>(80, 'R'));  // wrong kind
    std::vector<std::uint8_t> nan_position = Rpos(Aircraft{});
    const double nan = std::nan("");
    std::memcpy(&nan_position[13], &nan, sizeof nan);  // latitude NaN
    list.push_back(nan_position);
    std::vector<std::uint8_t> unknown = {'R', 'R', 'E', 'F', ','};
    PutU32(unknown, 977);  // never subscribed
    PutFloat(unknown, 1.0f);
    list.push_back(unknown);
    std::vector<std::uint8_t> partial = {'R', 'R', 'E', 'F', ',', 1, 0, 0, 0, 0};  // half a pair
    list.push_back(partial);
    std::vector<std::uint8_t> huge = {'R', 'R', 'E', 'F', ','};
    huge.resize(5 + 200 * 8, 0);  // over 183 pairs
    list.push_back(huge);
    return list;
  }();
  return garbage;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"fake-xplane: answers RPOS and RREF like X-Plane's UDP interface (for tests)"};
  std::string address = "127.0.0.1";
  int port = 49000;
  std::string answer_from;
  Aircraft aircraft;
  int version = 121004;
  double freeze_after = -1.0;
  double freeze_for = 0.0;
  int ignore_subscriptions = 0;
  bool garbage = false;
  std::string log_path;
  std::string ready_file;
  app.add_option("--address", address, "Address to listen on")->capture_default_str();
  app.add_option("--port", port, "Port to listen on")
      ->check(CLI::Range(1, 65535))
      ->capture_default_str();
  app.add_option("--answer-from", answer_from, "Send the answers from this address instead");
  app.add_option("--lat", aircraft.lat);
  app.add_option("--lon", aircraft.lon);
  app.add_option("--elevation", aircraft.elevation, "Metres above sea level");
  app.add_option("--agl", aircraft.agl, "Metres above the ground");
  app.add_option("--heading", aircraft.heading, "True heading, degrees");
  app.add_option("--magvar", aircraft.magvar, "Magnetic variation, degrees east");
  app.add_option("--speed", aircraft.speed, "Ground speed along the heading, m/s");
  app.add_option("--version", version, "sim/version/xplane_internal_version (0: not answered)")
      ->capture_default_str();
  app.add_option("--freeze-after", freeze_after, "Stop answering after this many seconds ...");
  app.add_option("--freeze-for", freeze_for, "... for this many (then answer again)");
  app.add_option("--ignore-subscriptions", ignore_subscriptions,
                 "Drop the first N requests, as if lost");
  app.add_flag("--garbage", garbage, "Send a bad datagram with every answer");
  app.add_option("--log", log_path, "One line per request received");
  app.add_option("--ready-file", ready_file, "Created once listening");
  CLI11_PARSE(app, argc, argv);

  net::SocketServices& sockets = net::PlatformSocketServices();
  const auto listen_address = net::ParseDottedAddress(address);
  if (!listen_address) {
    std::fprintf(stderr, "fake-xplane: --address takes a dotted address\n");
    return 2;
  }
  std::string error;
  const auto socket = sockets.OpenUdp({*listen_address, static_cast<std::uint16_t>(port)}, error);
  if (socket == 0) {
    std::fprintf(stderr, "fake-xplane: %s\n", error.c_str());
    return 1;
  }
  auto answer_socket = socket;
  if (!answer_from.empty()) {
    const auto other = net::ParseDottedAddress(answer_from);
    answer_socket = other ? sockets.OpenUdp({*other, 0}, error) : 0;
    if (answer_socket == 0) {
      std::fprintf(stderr, "fake-xplane: cannot answer from %s\n", answer_from.c_str());
      return 1;
    }
  }
  std::ofstream log;
  if (!log_path.empty()) {
    log.open(log_path, std::ios::app);
  }
  if (!ready_file.empty()) {
    std::ofstream(ready_file) << "ready\n";
  }

  const Clock::time_point start = Clock::now();
  std::map<std::pair<std::uint32_t, std::uint16_t>, Client> clients;
  std::vector<std::uint8_t> buffer(2048);
  std::size_t garbage_kind = 0;
  for (;;) {
    const net::Received received = sockets.Receive(socket, buffer.data(), buffer.size(), 5);
    const Clock::time_point now = Clock::now();
    const double elapsed = std::chrono::duration<double>(now - start).count();
    if (received.status == net::ReceiveStatus::Datagram && received.size >= 5) {
      const std::string kind(reinterpret_cast<const char*>(buffer.data()), 4);
      Client& client = clients[{received.sender.address, received.sender.port}];
      std::string line = std::to_string(static_cast<long long>(elapsed * 1000)) + " ";
      bool dropped = ignore_subscriptions > 0;
      if (dropped) {
        --ignore_subscriptions;
      }
      if (kind == "RPOS") {
        const std::string digits(
            reinterpret_cast<const char*>(buffer.data()) + 5,
            strnlen(reinterpret_cast<const char*>(buffer.data()) + 5, received.size - 5));
        line += "RPOS " + digits;
        if (!dropped) {
          client.rpos_rate = std::atoi(digits.c_str());
          client.rpos_next = now;
        }
      } else if (kind == "RREF" && received.size == 413) {
        const std::int32_t rate = LoadI32(&buffer[5]);
        const std::int32_t index = LoadI32(&buffer[9]);
        const std::string name(reinterpret_cast<const char*>(&buffer[13]),
                               strnlen(reinterpret_cast<const char*>(&buffer[13]), 400));
        line += "RREF " + std::to_string(rate) + " " + std::to_string(index) + " " + name;
        if (!dropped) {
          if (rate == 0) {
            client.rrefs.erase(index);
          } else {
            client.rrefs[index] = {rate, name, now};
          }
        }
      } else {
        line += "other " + std::to_string(received.size);
      }
      if (dropped) {
        line += " (dropped)";
      }
      if (log.is_open()) {
        log << line << '\n' << std::flush;
      }
    }

    const bool frozen =
        freeze_after >= 0.0 && elapsed >= freeze_after && elapsed < freeze_after + freeze_for;
    if (frozen) {
      // A frozen X-Plane sends nothing, and its subscriptions fall due all at once afterwards.
      continue;
    }
    const Aircraft flying = At(aircraft, elapsed);
    for (auto& [client_key, client] : clients) {
      const net::Endpoint to{client_key.first, client_key.second};
      bool answered = false;
      if (client.rpos_rate > 0 && now >= client.rpos_next) {
        const std::vector<std::uint8_t> rpos = Rpos(flying);
        sockets.SendTo(answer_socket, to, rpos.data(), rpos.size());
        client.rpos_next = now + std::chrono::microseconds(1000000 / client.rpos_rate);
        answered = true;
      }
      // Every value due goes out in one datagram, as X-Plane does.
      std::vector<std::uint8_t> rref = {'R', 'R', 'E', 'F', ','};
      for (auto& [index, subscription] : client.rrefs) {
        if (now < subscription.next ||
            (version == 0 && subscription.dataref == "sim/version/xplane_internal_version")) {
          continue;
        }
        PutU32(rref, static_cast<std::uint32_t>(index));
        PutFloat(rref, DatarefValue(subscription.dataref, flying, version));
        subscription.next = now + std::chrono::microseconds(1000000 / subscription.rate);
      }
      if (rref.size() > 5) {
        sockets.SendTo(answer_socket, to, rref.data(), rref.size());
        answered = true;
      }
      if (answered && garbage) {
        const std::vector<std::uint8_t>& bad = Garbage()[garbage_kind++ % Garbage().size()];
        sockets.SendTo(answer_socket, to, bad.data(), bad.size());
      }
    }
  }
}
