#pragma once

#include "app/settings/profile_file.h"

namespace quorvane {

// The settings file through the Windows profile functions. Reads go to the file itself; the
// first write copies it to a temporary file beside it, writes go there, and releasing renames
// the temporary file over the settings file, so a pass never leaves half a file behind.
class Win32ProfileFiles final : public ProfileFiles {
 public:
  std::unique_ptr<ProfileFile> Open(const std::string& file_name) override;
};

}  // namespace quorvane
