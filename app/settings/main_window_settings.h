#pragma once

#include <memory>

#include "app/settings/form_storage.h"

namespace quorvane {

class TForm1;

// The main window's two stores: FormStorage1 keeps the placement, FormStorage2 the placement
// once more and the interval and both check boxes. Attached when the window has been created;
// must be destroyed before the window's logic.
class MainWindowSettings {
 public:
  MainWindowSettings(TForm1& form, PlacementWindow& window, ProfileFiles& files,
                     const std::string& file_name);

  TFormStorage FormStorage1;
  TFormStorage FormStorage2;
};

}  // namespace quorvane
