#pragma once

#include <string>

#include "app/settings/form_storage.h"
#include "app/settings/stored_property.h"

namespace quorvane {

// Where the main window's settings are kept, and the window they place.
struct SettingsPlace {
  PlacementWindow& window;
  ProfileFiles& files;
  std::string file_name;  // e.g. "./quorvane.INI"
};

// The main window's two stores: FormStorage1 keeps the placement, FormStorage2 the placement
// once more and the interval and the check boxes ("3D", CheckBox3, only once it was ticked). The
// window's logic calls them as its window is shown, agrees to close and is destroyed; an error of
// theirs goes to its error report.
class MainWindowSettings {
 public:
  MainWindowSettings(const SettingsPlace& place, StoredControls& controls);

  // As the window is shown, before its show handler: FormStorage2 restores, then FormStorage1.
  void RestoreAtShow();
  // As the window agrees to close, before its close handler: FormStorage1 saves, then
  // FormStorage2.
  void SaveAtCloseQuery();
  // As the window is destroyed: FormStorage2, then FormStorage1, saves once more when its last
  // save did not complete (recording that the window was visible).
  void SaveAtDestroy();

  // The live view's sampling period in seconds from the settings file's [LiveView] section,
  // which is read only, never written (ReadLiveViewSeconds).
  int LiveViewSeconds() const;

  TFormStorage FormStorage1;
  TFormStorage FormStorage2;

 private:
  ProfileFiles& files_;
  std::string file_name_;
};

}  // namespace quorvane
