// One link exchange (a single 4-byte read) against quorvane-sim, beside a bare round trip over
// the same socket with no block work on either side.

#include <benchmark/benchmark.h>

#include "bench/simulator_process.h"
#include "link/fsuipc_link.h"
#include "link/posix/link_services_posix.h"

namespace {

using quorvane::bench::Simulator;

void BM_LinkExchangeOneRead(benchmark::State& state) {
  Simulator();
  quorvane::PosixLinkServices services;
  quorvane::FsuipcLink link(services);
  quorvane::LinkResult result{};
  if (!link.Open(0, result)) {
    state.SkipWithError(quorvane::LinkResultMessage(result));
    return;
  }
  std::uint32_t value = 0;
  for (auto _ : state) {
    link.QueueRead(0x3304, 4, &value, result);
    if (!link.Process(result)) {
      state.SkipWithError("exchange failed");
      break;
    }
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_LinkExchangeOneRead)->UseRealTime();

void BM_BareRoundTrip(benchmark::State& state) {
  Simulator();
  quorvane::PosixLinkServices services;
  const auto window = services.FindServerWindow("UIPCMAIN");
  if (window == 0) {
    state.SkipWithError("cannot reach quorvane-sim");
    return;
  }
  for (auto _ : state) {
    if (!services.Ping(window, 2000)) {
      state.SkipWithError("ping failed");
      break;
    }
  }
  services.ReleaseServerWindow(window);
}
BENCHMARK(BM_BareRoundTrip)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
