#pragma once

// Full paths of the files written into the Documents folder.

#include <string>
#include <string_view>

namespace quorvane {

// The folder, the platform's separator and the file name, joined as they are: no separator is
// added or removed, so an empty folder gives the name alone, rooted.
std::string DocumentPath(const std::string& folder, std::string_view name);

}  // namespace quorvane
