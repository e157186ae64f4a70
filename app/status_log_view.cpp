#include "app/status_log_view.h"

namespace quorvane {

StatusLogView::StatusLogView(MainView& window, const std::string& path)
    : window_(window), file_(path, std::ios::binary | std::ios::app) {}

void StatusLogView::ShowPanelText(int panel, const std::string& text) {
  window_.ShowPanelText(panel, text);
  if (!file_.is_open()) {
    return;
  }
  // One line per text, whatever it holds: a line break in a text would split its entry.
  std::string line = std::to_string(panel) + "\t";
  for (const char c : text) {
    line += (c == '\n' || c == '\r') ? ' ' : c;
  }
  file_ << line << '\n';
  file_.flush();  // read while the program runs
}

}  // namespace quorvane
