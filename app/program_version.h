#pragma once

namespace quorvane {

// The version of Quorvane's programs, "MAJOR.MINOR.PATCH", as CMakeLists.txt's project() names
// it (built into the quorvane_version library).
const char* ProgramVersion();

}  // namespace quorvane
