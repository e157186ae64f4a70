#include "tests/app/form_harness.h"

#include "link/fsuipc_offsets.h"
#include "link/request_block.h"

#include <fstream>
#include <set>
#include <sstream>

namespace quorvane::testing {

std::string UniqueTemporaryFolder(const std::string& prefix) {
  static int counter = 0;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      (prefix + "-" + std::to_string(stamp) + "-" + std::to_string(++counter));
  std::filesystem::create_directories(folder);
  return folder.string();
}

FormHarness::FormHarness(std::vector<std::string> arguments)
    : FormHarness(PlatformFileSystem(), std::move(arguments)) {}

FormHarness::FormHarness(FileSystem& files_to_use, std::vector<std::string> arguments,
                         std::optional<SettingsPlace> settings, bool live_sampling)
    : files(files_to_use), live_sampling_(live_sampling) {
  folder = UniqueTemporaryFolder("quorvane-form");
  platform.documents_folder = folder;
  services.PutServerWords();
  PutAircraft({50.1, 14.25, 90.0, 0.0, 0.0, 300.0});
  ServerRunning(true);
  update_timer = std::make_unique<FakeTimer>(clock, [this] { form->OnUpdateTimerTick(); });
  retry_timer = std::make_unique<FakeTimer>(clock, [this] { form->OnRetryTimerTick(); });
  chart_timer = std::make_unique<FakeTimer>(clock, [this] { form->OnChartTimerTick(); });
  live_timer = std::make_unique<FakeTimer>(clock, [this] { form->OnLiveTimerTick(); });
  clock.Register(update_timer.get());
  clock.Register(retry_timer.get());
  clock.Register(chart_timer.get());
  clock.Register(live_timer.get());
  MakeForm(fsuipc_only, std::move(arguments), std::move(settings));
}

void FormHarness::MakeForm(SimulatorLink& simulator, std::vector<std::string> arguments,
                           std::optional<SettingsPlace> settings) {
  form.reset();
  form = std::make_unique<TForm1>(
      FormContext{view, platform, decimal, simulator, documents, *update_timer, *retry_timer,
                  *chart_timer, std::move(arguments), document_set.live_view, document_set.track,
                  document_set.recorder, [this] { return Now(); }, services.interrupt,
                  document_set.earlier_runs, live_sampling_ ? live_timer.get() : nullptr},
      std::move(settings));
}

void FormHarness::UseSimulator(SimulatorLink& simulator) {
  MakeForm(simulator, {}, std::nullopt);
}

FormHarness::~FormHarness() {
  std::error_code ignored;
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(folder, ignored);
}

void FormHarness::FailSamples(bool fail) {
  fail_samples = fail;
}

void FormHarness::ServerRunning(bool running) {
  services.windows = running ? std::set<std::string>{"UIPCMAIN"} : std::set<std::string>{};
  if (!running) {
    services.on_send = [](std::uint8_t*) { return SendOutcome{false, 0, 1400}; };
  } else {
    services.on_send = [this](std::uint8_t* block) {
      const bool handshake = quorvane::block::LoadU32(block + 4) == fsuipc::kServerVersion.offset;
      SendOutcome outcome = services.Serve(block);
      if (fail_samples && !handshake) {
        outcome.reply = 0;
      }
      return outcome;
    };
  }
}

std::string FormHarness::ReadFile(const std::string& path) const {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace quorvane::testing

namespace quorvane::testing {

std::chrono::system_clock::time_point FormHarness::Now() const {
  using namespace std::chrono;
  return sys_days{year{2024} / February / 29} + hours{23} + minutes{59} +
         milliseconds{clock.now_ms()};
}

}  // namespace quorvane::testing
