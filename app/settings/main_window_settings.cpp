#include "app/settings/main_window_settings.h"

#include "app/settings/live_view_seconds.h"

namespace quorvane {

namespace {

StoreContext ContextFor(const SettingsPlace& place, StoredControls& controls) {
  return StoreContext{place.window, place.files, place.file_name, "TForm1",
                      [&controls](const std::string& message) { controls.ReportError(message); }};
}

}  // namespace

MainWindowSettings::MainWindowSettings(const SettingsPlace& place, StoredControls& controls)
    : FormStorage1(ContextFor(place, controls)),
      FormStorage2(ContextFor(place, controls)),
      files_(place.files),
      file_name_(place.file_name) {
  FormStorage2.StoredProps = {"RxSpinEdit1.Value", "CheckBox1.Checked", "CheckBox2.Checked",
                              "CheckBox3.Checked"};
  FormStorage2.ResolveStoredProps(
      [&controls](const std::string& component, const std::string& property) {
        return controls.FindStoredProperty(component, property);
      });
}

// The orders are those of two stores that each took over the window's events in turn, the
// second wrapping the first: it restores and saves at destroy before the first, and saves at
// the close query after it.
void MainWindowSettings::RestoreAtShow() {
  FormStorage2.RestoreAtShow();
  FormStorage1.RestoreAtShow();
}

void MainWindowSettings::SaveAtCloseQuery() {
  FormStorage1.SaveAtCloseQuery();
  FormStorage2.SaveAtCloseQuery();
}

void MainWindowSettings::SaveAtDestroy() {
  FormStorage2.SaveAtDestroy();
  FormStorage1.SaveAtDestroy();
}

int MainWindowSettings::LiveViewSeconds() const {
  return ReadLiveViewSeconds(files_, file_name_);
}

}  // namespace quorvane
