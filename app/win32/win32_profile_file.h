#pragma once

#include "app/settings/profile_file.h"
#include "files/file_system.h"

namespace quorvane {

// The settings file through the Windows profile functions. Reads go to the file itself; the
// first write copies it to a temporary file beside it (made through the file system, so a copy
// left by a killed run is removed like any other), the profile functions write there, and
// releasing publishes that copy over the settings file whole (PublishFile), so a pass never
// leaves half a file behind. Opening removes the copies of runs that were killed while saving.
class Win32ProfileFiles final : public ProfileFiles {
 public:
  // files must outlive this object.
  explicit Win32ProfileFiles(FileSystem& files) : files_(files) {}
  std::unique_ptr<ProfileFile> Open(const std::string& file_name) override;

 private:
  FileSystem& files_;
};

}  // namespace quorvane
