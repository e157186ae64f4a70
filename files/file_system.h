#pragma once

// The file operations that publishing a file needs, one implementation per platform, behind this
// seam so that tests can make any one of them fail.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
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

  // What ReadWhole found.
  enum class ReadResult { kRead, kMissing, kUnreadable };
  // Reads the whole of the regular file at path into bytes. Never blocks on what is not a file:
  // a FIFO, a device or a folder is kUnreadable, as is a file larger than max_bytes or one that
  // cannot be read (why then says why); kMissing when there is nothing at path.
  virtual ReadResult ReadWhole(const std::string& path, std::size_t max_bytes, std::string& bytes,
                               std::string& why) = 0;
  // When the file at path was last written, or nothing when there is no such file.
  virtual std::optional<std::chrono::system_clock::time_point> LastWriteTime(
      const std::string& path) = 0;
  // Creates the folder at path (its parent must exist); true when it exists afterwards.
  virtual bool CreateFolder(const std::string& path, std::string& why) = 0;
  // Renames from to to in one step unless something is named to already: then, or on any
  // other failure, returns false and from is left as it is.
  virtual bool RenameNew(const std::string& from, const std::string& to, std::string& why) = 0;
  // Removes the temporary files that CreateTemporary made for target in runs that were ended
  // before they could remove them: those whose process no longer runs and, where files have
  // owners, that belong to this user. Returns how many were removed.
  virtual int RemoveAbandonedTemporaries(const std::string& target) = 0;
};

}  // namespace quorvane
