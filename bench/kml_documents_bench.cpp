// Building and saving the KML documents: one aircraft document, and route documents of 10,000
// and 100,000 tuples, each saved whole (temporary file, sync to disk, rename) into a scratch
// folder on the machine's disk. The same documents built without touching the disk show how
// much of the time is the file system's.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "files/platform_files.h"
#include "kml/document_set.h"

namespace {

namespace fs = std::filesystem;

// The platform's file operations, or none at all while `discard` is set (every step succeeds and
// nothing reaches the disk), so a long route can be built up without saving it at every fix.
class SwitchableFileSystem final : public quorvane::FileSystem {
 public:
  bool discard = false;

  bool CreateTemporary(const std::string& target, std::string& temp_path, Handle& file,
                       std::string& why) override {
    if (discard) {
      file = 1;
      return true;
    }
    return Real().CreateTemporary(target, temp_path, file, why);
  }
  bool Write(Handle file, std::string_view bytes, std::string& why) override {
    if (discard) {
      benchmark::DoNotOptimize(bytes.data());
      return true;
    }
    return Real().Write(file, bytes, why);
  }
  bool Sync(Handle file, std::string& why) override { return discard || Real().Sync(file, why); }
  bool Close(Handle file, std::string& why) override { return discard || Real().Close(file, why); }
  bool Replace(const std::string& from, const std::string& to, std::string& why) override {
    return discard || Real().Replace(from, to, why);
  }
  void Remove(const std::string& path) override {
    if (!discard) {
      Real().Remove(path);
    }
  }
  ReadResult ReadWhole(const std::string& path, std::size_t max_bytes, std::string& bytes,
                       std::string& why) override {
    return Real().ReadWhole(path, max_bytes, bytes, why);
  }
  std::optional<std::chrono::system_clock::time_point> LastWriteTime(
      const std::string& path) override {
    return Real().LastWriteTime(path);
  }
  bool CreateFolder(const std::string& path, std::string& why) override {
    return Real().CreateFolder(path, why);
  }
  bool RenameNew(const std::string& from, const std::string& to, std::string& why) override {
    return Real().RenameNew(from, to, why);
  }
  int RemoveAbandonedTemporaries(const std::string& target) override {
    return Real().RemoveAbandonedTemporaries(target);
  }

 private:
  static quorvane::FileSystem& Real() { return quorvane::PlatformFileSystem(); }
};

// A scratch Documents folder for one benchmark, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    do {
      path_ = fs::temp_directory_path() / ("quorvane-kml-bench-" + std::to_string(random()));
    } while (!fs::create_directory(path_));
  }
  ~ScratchFolder() { fs::remove_all(path_); }
  std::string Text() const { return path_.string(); }

 private:
  fs::path path_;
};

// The i-th fix of a flight heading north-east out of Prague.
quorvane::AircraftFix FlightFix(long i, bool moving) {
  return {50.1 + static_cast<double>(i) * 1e-4, 14.25 + static_cast<double>(i) * 1e-4,
          static_cast<double>(i % 360), moving};
}

// Documents whose route already holds `tuples` points, built without saving; the route files'
// text is made once beforehand, as it is kept while a flight grows.
struct Flight {
  explicit Flight(long tuples) : set(files, folder.Text()) {
    files.discard = true;
    for (long i = 0; i < tuples; ++i) {
      const quorvane::AircraftFix fix = FlightFix(i, true);
      set.route.Add({fix.Latitude, fix.Longitude, {}});
    }
    benchmark::DoNotOptimize(documents.RouteCoordinates().size());
    benchmark::DoNotOptimize(set.track.DocumentText().size());
  }

  ScratchFolder folder;
  SwitchableFileSystem files;
  quorvane::DocumentSet set;
  quorvane::KmlDocuments& documents = set.kml;
};

void BM_AircraftDocumentSaved(benchmark::State& state) {
  Flight flight(0);
  flight.files.discard = false;
  for (auto _ : state) {
    flight.documents.WriteAircraftDocument(FlightFix(1, false));
  }
}
BENCHMARK(BM_AircraftDocumentSaved)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_RouteDocumentSaved(benchmark::State& state) {
  Flight flight(state.range(0));
  flight.files.discard = false;
  for (auto _ : state) {
    flight.documents.WriteRouteDocument();
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<long>(flight.documents.RouteCoordinates().size()));
}
BENCHMARK(BM_RouteDocumentSaved)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_RouteDocumentBuiltOnly(benchmark::State& state) {
  Flight flight(state.range(0));
  for (auto _ : state) {
    flight.documents.WriteRouteDocument();
  }
}
BENCHMARK(BM_RouteDocumentBuiltOnly)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One update of a long flight: the point, the route files saved with it (trasa.gpx and
// trasa.kml), and the aircraft document. Every iteration gets a flight of its own, made while the
// timer is paused (the one before it is freed then too): N-1 points, then the N-th recorded and
// saved as a flight in progress would have done, so that every file already exists. Each measures
// the update that makes the N+1-th point: one route size, however many iterations the library
// runs.
void BM_MovingFixWithRouteSaved(benchmark::State& state) {
  const long points = state.range(0);
  const quorvane::AircraftFix last = FlightFix(points - 1, true);
  const quorvane::AircraftFix next = FlightFix(points, true);
  std::optional<Flight> flight;
  for (auto _ : state) {
    state.PauseTiming();
    flight.reset();
    flight.emplace(points - 1);
    flight->files.discard = false;
    flight->set.recorder.RecordFix(last, {});
    flight->documents.WriteAircraftDocument(last);
    state.ResumeTiming();
    flight->set.recorder.RecordFix(next, {});
    flight->documents.WriteAircraftDocument(next);
  }
}
BENCHMARK(BM_MovingFixWithRouteSaved)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
