// X-Plane and FlightGear hosted in this process, on the loopback address:
// - how long from a datagram sent until a sample can read its value (socket, the source's
//   thread waking, decoding, the lock);
// - what one sample (six single-read exchanges) costs from X-Plane or FlightGear, beside the same
//   sample from FSUIPC, played by quorvane-sim in another process.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/simulator_process.h"
#include "link/fsuipc_link.h"
#include "link/posix/link_services_posix.h"
#include "net/socket_services.h"
#include "sampling/aircraft_sampler.h"
#include "sources/flightgear_source.h"
#include "sources/simulator_connector.h"
#include "sources/source_host.h"
#include "sources/xplane_source.h"
#include "tests/sources/xplane_datagrams.h"

namespace {

using namespace quorvane;

// A clock that stands still, so that a reading fed once stays current through a long run.
class FrozenClock final : public sources::SourceClock {
 public:
  sources::SourceTime Now() override { return now_; }

 private:
  sources::SourceTime now_ = std::chrono::steady_clock::now();
};

// A socket of a stand-in simulator on a free loopback port.
struct SimulatorSocket {
  SimulatorSocket() {
    std::string error;
    socket = sockets.OpenUdp({net::kLoopbackAddress, 0}, error);
    sockets.LocalEndpoint(socket, local);
  }
  ~SimulatorSocket() { sockets.Close(socket); }
  void Send(const net::Endpoint& to, const std::vector<std::uint8_t>& bytes) {
    sockets.SendTo(socket, to, bytes.data(), bytes.size());
  }
  void Send(const net::Endpoint& to, const std::string& text) {
    sockets.SendTo(socket, to, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  }
  net::SocketServices& sockets = net::PlatformSocketServices();
  net::SocketServices::Socket socket = 0;
  net::Endpoint local;
};

std::string Line(double latitude) {
  char line[128];
  std::snprintf(line, sizeof line, "%.7f,-157.9365388,3001.7,350.27,9.49,110.4\n", latitude);
  return line;
}

// Waits, spinning, until the host's reading shows the latitude; false after a second.
bool Readable(const sources::SourceHost& host, double latitude) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  for (;;) {
    const auto reading = host.Current();
    if (reading && reading->latitude == latitude) {
      return true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::yield();
  }
}

void BM_FlightGearDatagramToReading(benchmark::State& state) {
  FrozenClock clock;
  sources::SourceHost host(net::PlatformSocketServices(),
                           std::make_unique<sources::FlightGearSource>(sources::SenderFilter{}),
                           {net::kLoopbackAddress, 0}, clock);
  std::string error;
  if (!host.Start(error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  SimulatorSocket flightgear;
  double latitude = 21.0;
  for (auto _ : state) {
    latitude += 1e-7;
    const std::string line = Line(latitude);
    flightgear.Send(host.LocalEndpoint(), line);
    // The value as the line carries it (seven decimals).
    if (!Readable(host, std::strtod(line.c_str(), nullptr))) {
      state.SkipWithError("the line never became readable");
      break;
    }
  }
}
BENCHMARK(BM_FlightGearDatagramToReading)->UseRealTime();

// An X-Plane host with its subscriptions answered once, so that positions make a reading.
struct AnsweredXPlane {
  explicit AnsweredXPlane(sources::SourceClock& clock)
      : host(net::PlatformSocketServices(), std::make_unique<sources::XPlaneSource>(xplane.local),
             {net::kLoopbackAddress, 0}, clock) {
    std::string error;
    started = host.Start(error);
    xplane.Send(host.LocalEndpoint(), testing::RposDatagram(50.0, 14.0, 400.0, 10.0f, 90.0f));
    xplane.Send(host.LocalEndpoint(),
                testing::RrefDatagram({{sources::XPlaneSource::kTrueHeadingIndex, 90.0f},
                                       {sources::XPlaneSource::kMagneticHeadingIndex, 85.0f},
                                       {sources::XPlaneSource::kGroundSpeedIndex, 60.0f}}));
    started = started && host.WaitForReading(std::chrono::seconds(2));
  }
  SimulatorSocket xplane;
  sources::SourceHost host;
  bool started = false;
};

void BM_XPlanePositionToReading(benchmark::State& state) {
  FrozenClock clock;
  AnsweredXPlane answered(clock);
  if (!answered.started) {
    state.SkipWithError("the X-Plane source did not start");
    return;
  }
  double latitude = 50.0;
  for (auto _ : state) {
    latitude += 1e-7;
    answered.xplane.Send(answered.host.LocalEndpoint(),
                         testing::RposDatagram(latitude, 14.0, 400.0, 10.0f, 90.0f));
    if (!Readable(answered.host, latitude)) {
      state.SkipWithError("the position never became readable");
      break;
    }
  }
}
BENCHMARK(BM_XPlanePositionToReading)->UseRealTime();

void SampleLoop(benchmark::State& state, FsuipcLink& link) {
  AircraftSampler sampler(link);
  for (auto _ : state) {
    const auto fix = sampler.SampleAircraft([](const std::string&) {});
    if (!fix) {
      state.SkipWithError("the sample failed");
      break;
    }
    benchmark::DoNotOptimize(fix);
  }
}

void BM_SampleFromFsuipc(benchmark::State& state) {
  bench::Simulator();
  PosixLinkServices services;
  FsuipcLink link(services);
  LinkResult result{};
  if (!link.Open(0, result)) {
    state.SkipWithError(LinkResultMessage(result));
    return;
  }
  SampleLoop(state, link);
}
BENCHMARK(BM_SampleFromFsuipc)->UseRealTime();

void BM_SampleFromFlightGear(benchmark::State& state) {
  FrozenClock clock;
  sources::SourceHost host(net::PlatformSocketServices(),
                           std::make_unique<sources::FlightGearSource>(sources::SenderFilter{}),
                           {net::kLoopbackAddress, 0}, clock);
  std::string error;
  SimulatorSocket flightgear;
  if (!host.Start(error) || (flightgear.Send(host.LocalEndpoint(), Line(21.3)),
                             !host.WaitForReading(std::chrono::seconds(2)))) {
    state.SkipWithError("the FlightGear source did not start");
    return;
  }
  sources::HostedLinkServices services(host);
  FsuipcLink link(services);
  LinkResult result{};
  if (!link.Open(0, result)) {
    state.SkipWithError(LinkResultMessage(result));
    return;
  }
  SampleLoop(state, link);
}
BENCHMARK(BM_SampleFromFlightGear)->UseRealTime();

void BM_SampleFromXPlane(benchmark::State& state) {
  FrozenClock clock;
  AnsweredXPlane answered(clock);
  sources::HostedLinkServices services(answered.host);
  FsuipcLink link(services);
  LinkResult result{};
  if (!answered.started || !link.Open(0, result)) {
    state.SkipWithError("the X-Plane source did not start");
    return;
  }
  SampleLoop(state, link);
}
BENCHMARK(BM_SampleFromXPlane)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
