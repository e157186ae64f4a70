// Windows file operations for publishing files.

#include <windows.h>

#include <string>

#include "files/platform_files.h"
#include "files/temporary_name.h"
#include "files/win32/system_error_text.h"

namespace quorvane {

const char kPathSeparator = '\\';

namespace {

// True while a process of this id runs.
bool ProcessRuns(DWORD id) {
  const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (process == nullptr) {
    // No such process; any other failure (no access) means that it runs.
    return ::GetLastError() != ERROR_INVALID_PARAMETER;
  }
  DWORD code = 0;
  const bool running = !::GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
  ::CloseHandle(process);
  return running;
}

class Win32FileSystem final : public FileSystem {
 public:
  bool CreateTemporary(const std::string& target, std::string& temp_path, Handle& file,
                       std::string& why) override {
    // The process id keeps two running programs apart, the counter two saves of one program;
    // CREATE_NEW makes sure the name was free. No sharing while the file is written.
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string candidate = TemporaryName(target, ::GetCurrentProcessId(), next_number_++);
      const HANDLE handle = ::CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        temp_path = candidate;
        file = reinterpret_cast<Handle>(handle);
        return true;
      }
      const DWORD error = ::GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
        why = SystemErrorText(error);
        return false;
      }
    }
    why = SystemErrorText(ERROR_FILE_EXISTS);
    return false;
  }

  bool Write(Handle file, std::string_view bytes, std::string& why) override {
    while (!bytes.empty()) {
      const DWORD chunk =
          bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!::WriteFile(reinterpret_cast<HANDLE>(file), bytes.data(), chunk, &written, nullptr)) {
        why = SystemErrorText(::GetLastError());
        return false;
      }
      if (written == 0) {
        why = SystemErrorText(ERROR_DISK_FULL);
        return false;
      }
      bytes.remove_prefix(written);
    }
    return true;
  }

  bool Sync(Handle file, std::string& why) override {
    if (!::FlushFileBuffers(reinterpret_cast<HANDLE>(file))) {
      why = SystemErrorText(::GetLastError());
      return false;
    }
    return true;
  }

  bool Close(Handle file, std::string& why) override {
    if (!::CloseHandle(reinterpret_cast<HANDLE>(file))) {
      why = SystemErrorText(::GetLastError());
      return false;
    }
    return true;
  }

  bool Replace(const std::string& from, const std::string& to, std::string& why) override {
    // Fails, leaving the old file whole, while another program holds it open without sharing.
    if (!::MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      why = SystemErrorText(::GetLastError());
      return false;
    }
    return true;
  }

  void Remove(const std::string& path) override { ::DeleteFileA(path.c_str()); }

  ReadResult ReadWhole(const std::string& path, std::size_t max_bytes, std::string& bytes,
                       std::string& why) override {
    bytes.clear();
    const HANDLE file =
        ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = ::GetLastError();
      why = SystemErrorText(error);
      return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                 ? ReadResult::kMissing
                 : ReadResult::kUnreadable;
    }
    ReadResult result = ReadResult::kRead;
    // Only files on a disk: a pipe or a device could keep a read waiting.
    if (::GetFileType(file) != FILE_TYPE_DISK) {
      why = SystemErrorText(ERROR_INVALID_FUNCTION);
      result = ReadResult::kUnreadable;
    }
    char buffer[65536];
    while (result == ReadResult::kRead) {
      DWORD count = 0;
      if (!::ReadFile(file, buffer, sizeof buffer, &count, nullptr)) {
        why = SystemErrorText(::GetLastError());
        result = ReadResult::kUnreadable;
      } else if (count == 0) {
        break;
      } else if (bytes.size() + count > max_bytes) {
        why = SystemErrorText(ERROR_FILE_TOO_LARGE);
        result = ReadResult::kUnreadable;
      } else {
        bytes.append(buffer, count);
      }
    }
    ::CloseHandle(file);
    if (result != ReadResult::kRead) {
      bytes.clear();
    }
    return result;
  }

  std::optional<std::chrono::system_clock::time_point> LastWriteTime(
      const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
      return std::nullopt;
    }
    // 100-nanosecond steps since 1601-01-01, which lies 11644473600 s before 1970-01-01.
    const std::uint64_t steps = std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32 |
                                data.ftLastWriteTime.dwLowDateTime;
    const auto since_1601 = std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>(
        static_cast<std::int64_t>(steps));
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            since_1601 - std::chrono::seconds(11644473600LL)));
  }

  bool CreateFolder(const std::string& path, std::string& why) override {
    if (::CreateDirectoryA(path.c_str(), nullptr)) {
      return true;
    }
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return true;
    }
    why = SystemErrorText(error);
    return false;
  }

  bool RenameNew(const std::string& from, const std::string& to, std::string& why) override {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    if (!::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
      why = SystemErrorText(::GetLastError());
      return false;
    }
    return true;
  }

  int RemoveAbandonedTemporaries(const std::string& target) override {
    const auto slash = target.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA((target + ".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
      return 0;
    }
    int removed = 0;
    do {
      const DWORD owner = TemporaryOwner(found.cFileName, base);
      if (owner == 0 || owner == ::GetCurrentProcessId() ||
          (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) !=
              0 ||
          ProcessRuns(owner)) {
        continue;
      }
      if (::DeleteFileA((folder + found.cFileName).c_str())) {
        ++removed;
      }
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return removed;
  }

 private:
  unsigned long next_number_ = 0;
};

}  // namespace

FileSystem& PlatformFileSystem() {
  static Win32FileSystem files;
  return files;
}

}  // namespace quorvane
