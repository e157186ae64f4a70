#pragma once

// A main window's logic wired to fakes: an in-process server behind the link, a fake clock for
// the timers, a recording view and desktop, and real KML files in a temporary folder.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "files/platform_files.h"
#include "kml/document_set.h"
#include "link/fsuipc_link.h"
#include "simulator/aircraft_state.h"
#include "tests/app/fake_form_services.h"
#include "tests/support/fake_link_services.h"

namespace quorvane::testing {

// A new, empty folder under the system's temporary folder, named after prefix.
std::string UniqueTemporaryFolder(const std::string& prefix);

class FormHarness {
 public:
  explicit FormHarness(std::vector<std::string> arguments = {});
  // The same, with the documents saved through files (which must outlive the harness) instead of
  // the real files, and the window's settings kept where `settings` says; with live_sampling,
  // live_timer drives the live view's sampling (without, the window has no live timer).
  explicit FormHarness(FileSystem& files, std::vector<std::string> arguments = {},
                       std::optional<SettingsPlace> settings = std::nullopt,
                       bool live_sampling = false);
  ~FormHarness();

  // Makes the window's logic anew over `simulator` instead of FSUIPC alone (before OnCreate);
  // simulator must outlive the harness's form.
  void UseSimulator(SimulatorLink& simulator);

  // The aircraft the server reports from now on.
  void PutAircraft(const sim::AircraftState& state) { sim::StoreAircraft(state, services.space); }
  // Makes every sample exchange fail (reply 0) or succeed again; the handshake still works.
  void FailSamples(bool fail);
  // Removes the server window, or brings it back.
  void ServerRunning(bool running);

  // A file of the Documents folder, joined as the program joins it.
  std::string File(const std::string& name) const { return folder + kPathSeparator + name; }
  std::string AircraftFile() const { return File("letadlo.kml"); }
  std::string RouteFile() const { return File("trasa.kml"); }
  std::string ReadFile(const std::string& path) const;
  bool Exists(const std::string& path) const { return std::filesystem::exists(path); }

  std::string folder;  // the Documents folder
  FakeClock clock;
  FakeView view{clock};
  FakePlatform platform;
  FakeDecimalSeparator decimal;
  FakeLinkServices services;
  FsuipcLink link{services};
  FsuipcOnlyLink fsuipc_only{link};
  FileSystem& files = PlatformFileSystem();  // what the documents are saved through
  DocumentSet document_set{files};
  KmlDocuments& documents = document_set.kml;
  // UTC time: the fake clock's milliseconds after 2024-02-29 23:59:00.
  std::chrono::system_clock::time_point Now() const;
  std::unique_ptr<TForm1> form;
  std::unique_ptr<FakeTimer> update_timer;
  std::unique_ptr<FakeTimer> retry_timer;
  std::unique_ptr<FakeTimer> chart_timer;
  std::unique_ptr<FakeTimer> live_timer;
  bool fail_samples = false;

 private:
  bool live_sampling_ = false;
  void MakeForm(SimulatorLink& simulator, std::vector<std::string> arguments,
                std::optional<SettingsPlace> settings);
};

}  // namespace quorvane::testing
