#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace quorvane {

// The largest settings file that is read: one that is larger is not the program's, or damaged,
// and is left as it is.
inline constexpr std::size_t kMaxProfileFileSize = 16 * 1024 * 1024;

// One pass's access to the settings file, with the behaviour of the Windows profile functions:
// sections and keys found without regard to case, one enclosing pair of quotes stripped from a
// value read, values read limited to 2047 characters.
class ProfileFile {
 public:
  virtual ~ProfileFile() = default;
  // The value of key in section, or default_value when the key is missing.
  virtual std::string ReadString(const std::string& section, const std::string& key,
                                 const std::string& default_value) = 0;
  // Sets key in section: a key already there keeps its place, a new one goes at the end of its
  // section, a new section at the end of the file. Throws std::runtime_error on failure.
  virtual void WriteString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
  // Ends the pass: what was written reaches the file whole or not at all. Throws
  // std::runtime_error when it cannot be written.
  virtual void Release() = 0;
};

// Opens the settings file of the given name for one pass.
class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;
  virtual std::unique_ptr<ProfileFile> Open(const std::string& file_name) = 0;
};

// The settings file's name: "./" and the executable's file name without its folder, with its
// extension replaced by ".INI" (appended when it has none). "/usr/bin/quorvane" gives
// "./quorvane.INI", "C:\Programs\quorvane.exe" gives "./quorvane.INI".
std::string SettingsFileName(const std::string& executable_path);

}  // namespace quorvane
