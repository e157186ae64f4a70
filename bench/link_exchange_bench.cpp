// One link exchange (a single 4-byte read) against quorvane-sim, beside a bare round trip over
// the same socket with no block work on either side.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

#include "link/fsuipc_link.h"
#include "link/posix/link_services_posix.h"

extern char** environ;

namespace {

// quorvane-sim in a private socket folder for the whole run.
class SimulatorProcess {
 public:
  SimulatorProcess() {
    char folder[] = "/tmp/quorvane-bench-XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    folder_ = folder;
    ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    const std::string ready = folder_ + "/ready";
    const char* argv[] = {QUORVANE_SIM_PATH, "--ready-file", ready.c_str(), nullptr};
    if (::posix_spawn(&pid_, QUORVANE_SIM_PATH, nullptr, nullptr, const_cast<char**>(argv),
                      environ) != 0) {
      throw std::runtime_error("cannot start quorvane-sim");
    }
    struct stat info {};
    for (int i = 0; i < 500 && ::stat(ready.c_str(), &info) != 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~SimulatorProcess() {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    std::system(("rm -rf " + folder_).c_str());
  }

 private:
  std::string folder_;
  pid_t pid_ = 0;
};

SimulatorProcess& Simulator() {
  static SimulatorProcess simulator;
  return simulator;
}

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
