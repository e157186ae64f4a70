#pragma once

// Publishing a file whole or not at all.

#include <stdexcept>
#include <string>
#include <string_view>

#include "files/file_system.h"

namespace quorvane {

// A file that could not be saved. what() is "Cannot create file "<path>". <description>", the
// description being the operating system's.
class FileSaveError : public std::runtime_error {
 public:
  FileSaveError(const std::string& path, const std::string& description);

  // The full path of the file that was to be saved.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Replaces the file at target with bytes: writes them to a new temporary file in the same folder,
// commits it to storage and renames it over target, so that a crash, a full disk or a failed
// write never leaves a partly written target. On any failure throws FileSaveError naming target;
// the earlier file is then untouched and the temporary file removed.
void PublishFile(FileSystem& files, const std::string& target, std::string_view bytes);

// Like PublishFile, but never replaces a file: returns false, writing nothing, when something is
// named target already (also when it appeared while the bytes were being written).
bool PublishNewFile(FileSystem& files, const std::string& target, std::string_view bytes);

}  // namespace quorvane
