#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/profile_file.h"
#include "app/settings/stored_property.h"
#include "app/settings/window_placement.h"

namespace quorvane {

// What a store works with.
struct StoreContext {
  PlacementWindow& window;
  ProfileFiles& files;
  std::string file_name;  // e.g. "./quorvane.INI"
  std::string section;    // the window's class name, "TForm1"
  std::function<void(const std::string& message)> report_error;  // the error box
};

// Keeps a window's placement and state in the settings file: restores them when the window is
// shown, saves them when it agrees to close, and once more when it is destroyed without a
// completed save. The ...At... calls report their errors, never throw them to the window.
class TFormPlacement {
 public:
  explicit TFormPlacement(StoreContext context);
  virtual ~TFormPlacement() = default;
  TFormPlacement(const TFormPlacement&) = delete;
  TFormPlacement& operator=(const TFormPlacement&) = delete;

  // The window is being shown: restores, when active.
  void RestoreAtShow();
  // The window agrees to close: saves, when active.
  void SaveAtCloseQuery();
  // The window is being destroyed: saves once more, when active and no save has completed
  // since the last restore; "Visible" then records 1.
  void SaveAtDestroy();

  void RestoreWindowSettings();
  void SaveWindowSettings();

  bool Active = true;
  int Version = 0;
  bool HasRestored = false;
  bool HasSaved = false;
  bool SavingAtDestroy = false;

 protected:
  void ReadWindowPlacement(ProfileFile& file);
  void WriteWindowPlacement(ProfileFile& file);
  void SetMaximizedOrigin();
  // What a derived store restores and saves after the placement.
  virtual void RestoreStoredProperties(ProfileFile&) {}
  virtual void SaveStoredProperties(ProfileFile&) {}

  int ReadInteger(ProfileFile& file, const std::string& key, int default_value);
  void WriteInteger(ProfileFile& file, const std::string& key, int value);
  void WriteString(ProfileFile& file, const std::string& key, const std::string& value);
  std::string ReadString(ProfileFile& file, const std::string& key,
                         const std::string& default_value);
  std::string ScreenKey(const std::string& key);

  StoreContext context_;

 private:
  void RunReported(const std::function<void()>& pass);
};

// A placement store that also keeps control properties named "Component.Property".
class TFormStorage final : public TFormPlacement {
 public:
  using TFormPlacement::TFormPlacement;

  // Resolves the entries of StoredProps; entries that do not split into two non-empty names or
  // name nothing are dropped.
  void ResolveStoredProps(const PropertyFinder& find);

  std::vector<std::string> StoredProps;

 protected:
  void RestoreStoredProperties(ProfileFile& file) override;
  void SaveStoredProperties(ProfileFile& file) override;

 private:
  std::vector<StoredProperty> resolved_;
};

// Reads an integer the way the store does: decimal, or hexadecimal after "0x"/"0X"; anything
// else gives default_value.
int ParseStoredInteger(const std::string& text, int default_value);

}  // namespace quorvane
