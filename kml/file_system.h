#pragma once

// The file operations that publishing a file needs, one implementation per platform, behind this
// seam so that tests can make any one of them fail.

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {

// Paths are 8-bit texts handed to the platform as they are. Every operation that can fail
// returns false and sets `why` to the operating system's description of the error.
class FileSystem {
 public:
  // An open file; 0 means none.
  using Handle = std::uintptr_t;

  virtual ~FileSystem() = default;

  // Creates a new, empty file for writing in the same folder as `target`, under a name that no
  // file had before (derived from target's), and sets temp_path and file.
  virtual bool CreateTemporary(const std::string& target, std::string& temp_path, Handle& file,
                               std::string& why) = 0;
  // Writes all of bytes at the end of file.
  virtual bool Write(Handle file, std::string_view bytes, std::string& why) = 0;
  // Commits everything written to file to the storage device.
  virtual bool Sync(Handle file, std::string& why) = 0;
  // Closes file; the handle is released whatever the result.
  virtual bool Close(Handle file, std::string& why) = 0;
  // Renames from to to in one step, replacing any file named to.
  virtual bool Replace(const std::string& from, const std::string& to, std::string& why) = 0;
  // Deletes the file at path, if it can; used to clean up after a failure.
  virtual void Remove(const std::string& path) = 0;
};

}  // namespace quorvane
