#pragma once

#include <fstream>
#include <string>

#include "app/main_view.h"

namespace quorvane {

// The toolkit window with a log of its status bar: everything is passed on to the window, and
// every text a panel is given is also appended to a file as one line, "<panel><TAB><text>",
// written out at once. For following the program from outside (a remote simulator, a check
// without a screen); a file that cannot be opened leaves only the window.
class StatusLogView final : public MainView {
 public:
  StatusLogView(MainView& window, const std::string& path);

  // False when the file could not be opened for appending.
  bool Logging() const { return file_.is_open(); }

  void ShowPanelText(int panel, const std::string& text) override;
  void ShowButtonEnabled(bool enabled) override { window_.ShowButtonEnabled(enabled); }
  void ShowAutoRun(bool checked) override { window_.ShowAutoRun(checked); }
  void ShowViewerSelect(bool checked) override { window_.ShowViewerSelect(checked); }
  void ShowThreeD(bool checked) override { window_.ShowThreeD(checked); }
  void ShowIntervalText(const std::string& text) override { window_.ShowIntervalText(text); }
  void RedrawChart() override { window_.RedrawChart(); }
  void ProcessPendingMessages() override { window_.ProcessPendingMessages(); }
  void ShowError(const std::string& message) override { window_.ShowError(message); }
  bool AskCloseAnyway(const std::string& message) override {
    return window_.AskCloseAnyway(message);
  }
  void DismissBoxes() override { window_.DismissBoxes(); }
  void LogError(const std::string& message) override { window_.LogError(message); }
  void EndProgram() override { window_.EndProgram(); }

 private:
  MainView& window_;
  std::ofstream file_;
};

}  // namespace quorvane
