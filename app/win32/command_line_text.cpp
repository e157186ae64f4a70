#include "app/win32/command_line_text.h"

#include <windows.h>

namespace quorvane {

void ShowCommandLineText(const std::string& text, bool error) {
  // quorvane.exe is a windows program: started from a command prompt, it has no console to write
  // to, and the prompt does not wait for it. A message box is what users of such programs expect
  // to see; a script that redirects the output gets the text there instead.
  const HANDLE output = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  const DWORD type = output == nullptr || output == INVALID_HANDLE_VALUE
                         ? FILE_TYPE_UNKNOWN
                         : GetFileType(output) & ~FILE_TYPE_REMOTE;
  if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR) {
    std::string lines;
    for (const char c : text) {
      if (c == '\n') {
        lines += '\r';
      }
      lines += c;
    }
    DWORD written = 0;
    if (WriteFile(output, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr)) {
      return;
    }
  }
  MessageBoxA(nullptr, text.c_str(), "Quorvane",
              MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace quorvane
