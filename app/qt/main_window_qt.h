#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "app/main_view.h"
#include "app/qt/qt_timer_backend.h"
#include "app/window_layout.h"

class QCheckBox;
class QLabel;
class QMessageBox;
class QPushButton;

namespace quorvane {

class ChartAreaQt;
class IntervalSpinBox;
class TForm1;

// The main window drawn with Qt Widgets: it turns the toolkit's events into calls of the
// window's logic and shows what the logic tells it.
class MainWindowQt final : public QWidget, public MainView {
 public:
  MainWindowQt();
  ~MainWindowQt() override;
  // Connects the window to its logic; must be called before the window is shown.
  void Attach(TForm1& form);
  // The window's timers, which tick the logic's TimerUpdateTime, Timer1, the chart's redraw
  // and LiveTimer.
  TimerBackend& UpdateTimer() { return update_timer_; }
  TimerBackend& RetryTimer() { return retry_timer_; }
  TimerBackend& ChartTimer() { return chart_timer_; }
  TimerBackend& LiveTimer() { return live_timer_; }

  void ShowPanelText(int panel, const std::string& text) override;
  void ShowButtonEnabled(bool enabled) override;
  void ShowAutoRun(bool checked) override;
  void ShowViewerSelect(bool checked) override;
  void ShowThreeD(bool checked) override;
  void ShowIntervalText(const std::string& text) override;
  void RedrawChart() override;
  void ProcessPendingMessages() override;
  // Both boxes show the message as plain text: a path is never read as markup.
  void ShowError(const std::string& message) override;
  bool AskCloseAnyway(const std::string& message) override;
  void DismissBoxes() override;
  // On the standard error stream.
  void LogError(const std::string& message) override;
  // Ends every event loop, nested ones too; before the main loop runs, the caller sees Closed().
  void EndProgram() override;

  // Handles the window's events while the link waits for the server, so that a close ends the
  // wait and the window repaints; descriptors (the termination signals) wait until it is over.
  void ProcessEventsWhileWaiting();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Makes the control of a row of the layout table and connects its events.
  QWidget* MakeControl(const layout::ControlLayout& row);
  // Places the status bar along the bottom edge and the chart between it and the controls.
  void PlaceStatusBarAndChart();
  // Runs a message box until it is answered or dismissed.
  int RunBox(QMessageBox& box);

  TForm1* form_ = nullptr;
  QtTimerBackend update_timer_;
  QtTimerBackend retry_timer_;
  QtTimerBackend chart_timer_;
  QtTimerBackend live_timer_;
  QCheckBox* check_box1_ = nullptr;
  QCheckBox* check_box2_ = nullptr;
  QCheckBox* check_box3_ = nullptr;
  QLabel* label1_ = nullptr;
  IntervalSpinBox* rx_spin_edit1_ = nullptr;
  QPushButton* button1_ = nullptr;
  QWidget* status_bar1_ = nullptr;
  ChartAreaQt* chart_ = nullptr;
  std::array<QLabel*, 3> panels_{};
  std::vector<QMessageBox*> open_boxes_;  // innermost last
};

}  // namespace quorvane
