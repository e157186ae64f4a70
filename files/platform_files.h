#pragma once

// What this platform's build uses for files (posix/ or win32/, chosen by CMake).

#include "files/file_system.h"

namespace quorvane {

// The separator that joins a file name to the Documents folder: '\' on Windows,
// '/' elsewhere. The folder and the name are joined as they are, with no separator added or
// removed.
extern const char kPathSeparator;

// The real file operations of this platform. Lives until the process ends.
FileSystem& PlatformFileSystem();

}  // namespace quorvane
