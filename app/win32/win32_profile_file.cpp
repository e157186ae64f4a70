#include "app/win32/win32_profile_file.h"

#include <windows.h>

#include <stdexcept>

#include "files/publish_file.h"

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
  Win32ProfileFile(FileSystem& files, std::string name)
      : files_(files), name_(std::move(name)), path_(WindowsPath(name_)) {
    files_.RemoveAbandonedTemporaries(path_);
  }

  ~Win32ProfileFile() override {
    if (!copy_.empty()) {
      files_.Remove(copy_);
    }
  }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& default_value) override {
    char value[2048] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), default_value.c_str(), value,
                             sizeof value, copy_.empty() ? path_.c_str() : copy_.c_str());
    return value;
  }

  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (copy_.empty()) {
      MakeCopy();
    }
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), copy_.c_str())) {
      throw Unwritable();
    }
  }

  void Release() override {
    if (copy_.empty()) {
      return;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy_.c_str());  // flush
    std::string text;
    std::string why;
    const auto read = files_.ReadWhole(copy_, kMaxProfileFileSize, text, why);
    files_.Remove(copy_);
    copy_.clear();
    if (read != FileSystem::ReadResult::kRead) {
      throw Unwritable();
    }
    try {
      PublishFile(files_, path_, text);
    } catch (const FileSaveError&) {
      throw Unwritable();
    }
  }

 private:
  std::runtime_error Unwritable() const {
    return std::runtime_error("Unable to write to " + name_);
  }

  // The earlier file, or nothing, is the starting point of the copy. A file that cannot be read
  // whole is not replaced: what it holds beyond our keys would be lost.
  void MakeCopy() {
    std::string earlier;
    std::string why;
    if (files_.ReadWhole(path_, kMaxProfileFileSize, earlier, why) ==
        FileSystem::ReadResult::kUnreadable) {
      throw Unwritable();
    }
    std::string copy;
    FileSystem::Handle file = 0;
    if (!files_.CreateTemporary(path_, copy, file, why)) {
      throw Unwritable();
    }
    const bool written = files_.Write(file, earlier, why);
    if (!files_.Close(file, why) || !written) {
      files_.Remove(copy);
      throw Unwritable();
    }
    copy_ = copy;
  }

  FileSystem& files_;
  std::string name_;  // as given, for messages: "./quorvane.INI"
  std::string path_;  // with backslashes: ".\\quorvane.INI" is the working folder's file
  std::string copy_;  // the copy the profile functions write, while a pass writes
};

}  // namespace

std::unique_ptr<ProfileFile> Win32ProfileFiles::Open(const std::string& file_name) {
  return std::make_unique<Win32ProfileFile>(files_, file_name);
}

}  // namespace quorvane
