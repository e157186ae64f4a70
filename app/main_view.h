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
  virtual void ShowThreeD(bool checked) = 0;
  virtual void ShowIntervalText(const std::string& text) = 0;
  // Asks for the chart to be painted again from TForm1::Chart(), soon (not necessarily before
  // this returns).
  virtual void RedrawChart() = 0;

  // Dispatches every window message that is waiting, then returns. Handlers run nested here.
  virtual void ProcessPendingMessages() = 0;
  // Shows an error message in a message box and returns when the user has closed it.
  virtual void ShowError(const std::string& message) = 0;
  // Shows an error message with the question whether to close anyway; true for "Yes".
  virtual bool AskCloseAnyway(const std::string& message) = 0;

  // Closes every message box the window shows as though it were cancelled: its Show... call
  // returns (AskCloseAnyway with false) once control gets back to it.
  virtual void DismissBoxes() = 0;
  // Records an error that nobody is asked about (the program is ending as it was told to): on
  // the standard error stream or the debugger's output.
  virtual void LogError(const std::string& message) = 0;
  // Ends the program after its close handling ran for a termination request: the window goes
  // and the message loop ends, without a question (the close handling has run).
  virtual void EndProgram() = 0;
};

}  // namespace quorvane
