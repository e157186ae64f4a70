#include "app/viewer_rule.h"

namespace quorvane {

bool TitleShowsViewer(const std::optional<std::string>& title) {
  if (!title) {
    return false;
  }
  std::string seen = title->substr(0, title->find('\0'));
  seen.resize(std::min(seen.size(), kTitleBufferSize - 1));
  if (seen.size() < 12) {
    return false;
  }
  std::string head = seen.substr(0, 12);
  for (char& c : head) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return head == "GOOGLE EARTH";
}

}  // namespace quorvane
