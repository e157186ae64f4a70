#pragma once

// The system's words for a Windows error code, for every message that passes one on.

#include <string>

namespace quorvane {

// The system's text for an error code (a DWORD), as message boxes show it: without the trailing
// line break and full stop; "System error <code>" when the system has no text for it.
std::string SystemErrorText(unsigned long error);

}  // namespace quorvane
