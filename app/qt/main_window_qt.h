#pragma once

#include <QWidget>
#include <array>

#include "app/main_view.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace quorvane {

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

  void ShowPanelText(int panel, const std::string& text) override;
  void ShowButtonEnabled(bool enabled) override;
  void ShowAutoRun(bool checked) override;
  void ShowViewerSelect(bool checked) override;
  void ShowIntervalText(const std::string& text) override;
  void ProcessPendingMessages() override;
  void ShowError(const std::string& message) override;
  bool AskCloseAnyway(const std::string& message) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceStatusBar();

  TForm1* form_ = nullptr;
  QCheckBox* check_box1_;
  QCheckBox* check_box2_;
  QLabel* label1_;
  IntervalSpinBox* rx_spin_edit1_;
  QPushButton* button1_;
  QWidget* status_bar1_;
  std::array<QLabel*, 3> panels_{};
};

}  // namespace quorvane
