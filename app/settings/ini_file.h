#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/settings/profile_file.h"
#include "files/file_system.h"

namespace quorvane {

// The settings file's text as lines, read and changed the way the profile functions do.
class IniText {
 public:
  static constexpr std::size_t kMaxValueLength = 2047;

  explicit IniText(std::string_view text = {});
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& default_value) const;
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  // The whole text, every line ended by CR LF.
  std::string Text() const;

 private:
  std::vector<std::string> lines_;
};

// A settings file on disk: read whole when opened, changed in memory, and written whole to a
// temporary file beside it and renamed into place when released, so a crash or a failed write
// never leaves half a file. A file that cannot be read whole (larger than kMaxFileSize, no
// regular file, unreadable) gives no values and is never replaced: what it holds beyond our
// keys would be lost. Opening also removes the temporary files of runs that were killed while
// saving.
class IniFile final : public ProfileFile {
 public:
  static constexpr std::size_t kMaxFileSize = kMaxProfileFileSize;

  IniFile(FileSystem& files, std::string path);
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& default_value) override;
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& value) override;
  // Throws std::runtime_error "Unable to write to <path>" when the file cannot be written, or
  // could not be read whole.
  void Release() override;

 private:
  FileSystem& files_;
  std::string path_;
  IniText text_;
  bool changed_ = false;
  bool read_whole_ = true;  // the file was read whole, or there was none
};

// Opens IniFiles over a file system.
class IniFiles final : public ProfileFiles {
 public:
  explicit IniFiles(FileSystem& files) : files_(files) {}
  std::unique_ptr<ProfileFile> Open(const std::string& file_name) override {
    return std::make_unique<IniFile>(files_, file_name);
  }

 private:
  FileSystem& files_;
};

}  // namespace quorvane
