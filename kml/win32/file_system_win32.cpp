// Windows file operations for publishing files.

#include <windows.h>

#include <string>

#include "kml/platform_files.h"

namespace quorvane {

const char kPathSeparator = '\\';

namespace {

// The system's text for an error code, as message boxes show it: without the trailing line
// break and full stop.
std::string Describe(DWORD error) {
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string description = length > 0 && text != nullptr ? std::string(text, length) : "";
  ::LocalFree(text);
  while (!description.empty() &&
         (static_cast<unsigned char>(description.back()) <= ' ' || description.back() == '.')) {
    description.pop_back();
  }
  if (description.empty()) {
    description = "System error " + std::to_string(error);
  }
  return description;
}

class Win32FileSystem final : public FileSystem {
 public:
  bool CreateTemporary(const std::string& target, std::string& temp_path, Handle& file,
                       std::string& why) override {
    // The process id keeps two running programs apart, the counter two saves of one program;
    // CREATE_NEW makes sure the name was free. No sharing while the file is written.
    const std::string prefix = target + "." + std::to_string(::GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = prefix + std::to_string(next_number_++) + ".tmp";
      const HANDLE handle = ::CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        temp_path = candidate;
        file = reinterpret_cast<Handle>(handle);
        return true;
      }
      const DWORD error = ::GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
        why = Describe(error);
        return false;
      }
    }
    why = Describe(ERROR_FILE_EXISTS);
    return false;
  }

  bool Write(Handle file, std::string_view bytes, std::string& why) override {
    while (!bytes.empty()) {
      const DWORD chunk =
          bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!::WriteFile(reinterpret_cast<HANDLE>(file), bytes.data(), chunk, &written, nullptr)) {
        why = Describe(::GetLastError());
        return false;
      }
      if (written == 0) {
        why = Describe(ERROR_DISK_FULL);
        return false;
      }
      bytes.remove_prefix(written);
    }
    return true;
  }

  bool Sync(Handle file, std::string& why) override {
    if (!::FlushFileBuffers(reinterpret_cast<HANDLE>(file))) {
      why = Describe(::GetLastError());
      return false;
    }
    return true;
  }

  bool Close(Handle file, std::string& why) override {
    if (!::CloseHandle(reinterpret_cast<HANDLE>(file))) {
      why = Describe(::GetLastError());
      return false;
    }
    return true;
  }

  bool Replace(const std::string& from, const std::string& to, std::string& why) override {
    // Fails, leaving the old file whole, while another program holds it open without sharing.
    if (!::MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      why = Describe(::GetLastError());
      return false;
    }
    return true;
  }

  void Remove(const std::string& path) override { ::DeleteFileA(path.c_str()); }

 private:
  unsigned long next_number_ = 0;
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static Win32FileSystem files;
  return files;
}

}  // namespace quorvane
