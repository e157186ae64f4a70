#include "app/win32/win32_profile_file.h"

#include <windows.h>

#include <stdexcept>

namespace quorvane {

namespace {

// The profile functions look in the Windows folder for a bare name; a name with a backslash
// path (".\\name") is taken relative to the working folder.
std::string WindowsPath(std::string name) {
  for (char& c : name) {
    if (c == '/') {
      c = '\\';
    }
  }
  return name;
}

class Win32ProfileFile final : public ProfileFile {
 public:
  explicit Win32ProfileFile(std::string name)
      : name_(std::move(name)),
        path_(WindowsPath(name_)),
        temp_(path_ + "." + std::to_string(GetCurrentProcessId()) + ".tmp") {}

  ~Win32ProfileFile() override {
    if (writing_) {
      DeleteFileA(temp_.c_str());
    }
  }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& default_value) override {
    char value[2048] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), default_value.c_str(), value,
                             sizeof value, writing_ ? temp_.c_str() : path_.c_str());
    return value;
  }

  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (!writing_) {
      // The earlier file, or nothing, is the starting point of the new one.
      DeleteFileA(temp_.c_str());
      if (!CopyFileA(path_.c_str(), temp_.c_str(), FALSE) &&
          GetLastError() != ERROR_FILE_NOT_FOUND) {
        throw std::runtime_error("Unable to write to " + name_);
      }
      writing_ = true;
    }
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), temp_.c_str())) {
      throw std::runtime_error("Unable to write to " + name_);
    }
  }

  void Release() override {
    if (!writing_) {
      return;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, temp_.c_str());  // flush
    if (!MoveFileExA(temp_.c_str(), path_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      throw std::runtime_error("Unable to write to " + name_);
    }
    writing_ = false;
  }

 private:
  std::string name_;  // as given, for messages: "./quorvane.INI"
  std::string path_;  // with backslashes: ".\\quorvane.INI" is the working folder's file
  std::string temp_;
  bool writing_ = false;
};

}  // namespace

std::unique_ptr<ProfileFile> Win32ProfileFiles::Open(const std::string& file_name) {
  return std::make_unique<Win32ProfileFile>(file_name);
}

}  // namespace quorvane
