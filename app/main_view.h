#pragma once

#include <string>

namespace quorvane {

// What the window's logic asks of the toolkit window that shows it.
class MainView {
 public:
  virtual ~MainView() = default;

  // Mirror the logic's state in the controls.
  virtual void ShowPanelText(int panel, const std::string& text) = 0;
  virtual void ShowButtonEnabled(bool enabled) = 0;
  virtual void ShowAutoRun(bool checked) = 0;
  virtual void ShowViewerSelect(bool checked) = 0;
  virtual void ShowIntervalText(const std::string& text) = 0;

  // Dispatches every window message that is waiting, then returns. Handlers run nested here.
  virtual void ProcessPendingMessages() = 0;
  // Shows an error message in a message box and returns when the user has closed it.
  virtual void ShowError(const std::string& message) = 0;
  // Shows an error message with the question whether to close anyway; true for "Yes".
  virtual bool AskCloseAnyway(const std::string& message) = 0;
};

}  // namespace quorvane
