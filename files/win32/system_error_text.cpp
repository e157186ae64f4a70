#include "files/win32/system_error_text.h"

#include <windows.h>

namespace quorvane {

std::string SystemErrorText(unsigned long error) {
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

}  // namespace quorvane
