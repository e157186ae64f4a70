#include "files/publish_file.h"

namespace quorvane {

FileSaveError::FileSaveError(const std::string& path, const std::string& description)
    : std::runtime_error("Cannot create file \"" + path + "\". " + description), path_(path) {}

namespace {

// Writes bytes to a new temporary file beside target and commits it to storage; its path.
// Throws FileSaveError naming target, with the temporary file removed.
std::string WriteTemporary(FileSystem& files, const std::string& target, std::string_view bytes) {
  std::string temp_path;
  FileSystem::Handle file = 0;
  std::string why;
  if (!files.CreateTemporary(target, temp_path, file, why)) {
    throw FileSaveError(target, why);
  }
  // Every step is checked: data that may not have reached the disk is never renamed into place.
  bool saved = files.Write(file, bytes, why) && files.Sync(file, why);
  // The handle is closed whatever happened before, and a failed close fails the save too.
  std::string close_why;
  if (!files.Close(file, close_why) && saved) {
    saved = false;
    why = close_why;
  }
  if (!saved) {
    files.Remove(temp_path);
    throw FileSaveError(target, why);
  }
  return temp_path;
}

}  // namespace

void PublishFile(FileSystem& files, const std::string& target, std::string_view bytes) {
  const std::string temp_path = WriteTemporary(files, target, bytes);
  std::string why;
  if (!files.Replace(temp_path, target, why)) {
    files.Remove(temp_path);
    throw FileSaveError(target, why);
  }
}

bool PublishNewFile(FileSystem& files, const std::string& target, std::string_view bytes) {
  const std::string temp_path = WriteTemporary(files, target, bytes);
  std::string why;
  if (!files.RenameNew(temp_path, target, why)) {
    files.Remove(temp_path);
    return false;
  }
  return true;
}

}  // namespace quorvane
