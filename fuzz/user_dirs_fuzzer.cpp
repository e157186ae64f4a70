// The Documents-folder lookup in a user-dirs.dirs file. The input is the home folder, up to the
// first line break, then the file's text. Any text must give a folder without a zero byte or a
// line break, none at all when no line names the key, and a later good line must win over
// whatever came before it.

#include <string>
#include <string_view>

#include "app/posix/user_dirs.h"
#include "fuzz/fuzz_target.h"

namespace {

using quorvane::DocumentsFolderFromUserDirs;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const auto split = input.find('\n');
  const std::string home(input.substr(0, split));
  const std::string_view text =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  const std::string folder = DocumentsFolderFromUserDirs(text, home);
  const bool home_is_plain = home.find('\0') == std::string::npos;
  FUZZ_CHECK(folder.find('\n') == std::string::npos);
  FUZZ_CHECK(!home_is_plain || folder.find('\0') == std::string::npos);
  if (text.find("XDG_DOCUMENTS_DIR") == std::string_view::npos) {
    FUZZ_CHECK(folder.empty());
  }

  // Whatever the text held, a good line after it decides.
  const std::string appended = std::string(text) + "\nXDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n";
  FUZZ_CHECK(DocumentsFolderFromUserDirs(appended, home) == home + "/Docs");
  return 0;
}
