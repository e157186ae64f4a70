// One live sample as the window takes it: the seven single-read exchanges against quorvane-sim in
// another process, then the live documents saved whole (temporary file, sync to disk, rename)
// into a scratch folder on the machine's disk.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "bench/simulator_process.h"
#include "files/platform_files.h"
#include "kml/document_set.h"
#include "link/fsuipc_link.h"
#include "link/posix/link_services_posix.h"
#include "sampling/aircraft_sampler.h"

namespace {

namespace fs = std::filesystem;
using quorvane::bench::Simulator;

// A scratch Documents folder with the run's files in it, removed at the end.
struct ScratchDocuments {
  ScratchDocuments()
      : folder((fs::temp_directory_path() / "quorvane-live-bench").string()),
        set((fs::create_directories(folder), quorvane::PlatformFileSystem()), folder) {}
  ~ScratchDocuments() { fs::remove_all(folder); }
  std::string folder;
  quorvane::DocumentSet set;
};

// state.range(0): 0 for a standing aircraft (the live aircraft and the view saved), 1 for a
// moving one (the point also joins a route of an hour's live points, and "trasa.gpx" and the live
// route are saved too).
void BM_LiveSample(benchmark::State& state) {
  Simulator();
  const bool moving = state.range(0) != 0;
  quorvane::PosixLinkServices services;
  quorvane::FsuipcLink link(services);
  quorvane::LinkResult result{};
  if (!link.Open(0, result)) {
    state.SkipWithError(quorvane::LinkResultMessage(result));
    return;
  }
  quorvane::AircraftSampler sampler(link);
  ScratchDocuments documents;
  documents.set.recorder.KeepLiveRoute(true);
  auto time = std::chrono::system_clock::now();
  if (moving) {
    for (int i = 0; i < 1800; ++i) {  // an hour at one point every two seconds, not saved
      documents.set.route.Add({50.0 + i * 1e-4, 14.0, time, quorvane::RoutePoint::Source::kLive});
      time += std::chrono::seconds(2);
    }
  }
  for (auto _ : state) {
    auto fix = sampler.SampleAircraft([](const std::string&) {});
    if (!fix) {
      state.SkipWithError("sample failed");
      break;
    }
    fix->Moving = moving;
    time += std::chrono::seconds(2);
    documents.set.recorder.RecordLiveFix(*fix, time);
    documents.set.kml.WriteLiveAircraftDocument(*fix);
    documents.set.live_view.WriteView(*fix);
  }
  link.Close();
}
BENCHMARK(BM_LiveSample)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The seven exchanges alone, for the share of the link in the whole.
void BM_LiveSampleExchangesOnly(benchmark::State& state) {
  Simulator();
  quorvane::PosixLinkServices services;
  quorvane::FsuipcLink link(services);
  quorvane::LinkResult result{};
  if (!link.Open(0, result)) {
    state.SkipWithError(quorvane::LinkResultMessage(result));
    return;
  }
  quorvane::AircraftSampler sampler(link);
  for (auto _ : state) {
    benchmark::DoNotOptimize(sampler.SampleAircraft([](const std::string&) {}));
  }
  link.Close();
}
BENCHMARK(BM_LiveSampleExchangesOnly)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
