#include "app/qt/main_window_qt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <cstdio>

#include "app/main_form.h"
#include "app/qt/chart_area_qt.h"
#include "app/qt/interval_spin_box.h"
#include "app/window_layout.h"

namespace quorvane {

namespace {

// Places a control at its designed rectangle, wider only where its text needs more room (the
// available fonts are wider than the one the layout was designed for), up to its limit.
void Place(QWidget* control, const layout::ControlLayout& row) {
  int width = row.box.width;
  if (row.widen_limit > 0) {
    width = std::min(std::max(width, control->sizeHint().width()), row.widen_limit - row.box.left);
  }
  control->setGeometry(row.box.left, row.box.top, width, row.box.height);
}

QFont WindowFont() {
  QFont font;
  QStringList faces = {layout::kFontFace};
  for (const char* face : layout::kFontFallbacks) {
    faces.append(face);
  }
  font.setFamilies(faces);
  font.setPixelSize(layout::kFontPixelHeight);
  return font;
}

}  // namespace

MainWindowQt::MainWindowQt()
    : update_timer_([this] { form_->OnUpdateTimerTick(); }),
      retry_timer_([this] { form_->OnRetryTimerTick(); }),
      chart_timer_([this] { form_->OnChartTimerTick(); }),
      live_timer_([this] { form_->OnLiveTimerTick(); }) {
  setWindowTitle(layout::kCaption);
  setFont(WindowFont());
  resize(layout::kClientWidth, layout::kClientHeight);
  move(layout::kLeft, layout::kTop);

  // Made in the table's order, which is the tab order.
  for (const layout::ControlLayout& row : layout::kControls) {
    Place(MakeControl(row), row);
  }

  status_bar1_ = new QWidget(this);
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    panels_[i] = new QLabel(status_bar1_);
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panels_[i]->setTextFormat(Qt::PlainText);
    panels_[i]->setContentsMargins(2, 0, 2, 0);
  }
  chart_ = new ChartAreaQt(this);
  PlaceStatusBarAndChart();
}

QWidget* MainWindowQt::MakeControl(const layout::ControlLayout& row) {
  switch (row.control) {
    case layout::Control::AutoRun:
      check_box1_ = new QCheckBox(row.text, this);
      connect(check_box1_, &QCheckBox::clicked,
              [this](bool checked) { form_->OnAutoRunClicked(checked); });
      return check_box1_;
    case layout::Control::Interval:
      rx_spin_edit1_ = new IntervalSpinBox(
          this, {[this](int delta) { form_->OnIntervalStep(delta); },
                 [this](const QString& text) { form_->OnIntervalTyped(text.toStdString()); },
                 [this] {
                   if (form_ != nullptr) {
                     form_->OnIntervalFocusLost();
                   }
                 }});
      rx_spin_edit1_->ShowText(row.text);
      return rx_spin_edit1_;
    case layout::Control::Show:
      button1_ = new QPushButton(row.text, this);
      connect(button1_, &QPushButton::clicked, [this] { form_->OnShowButtonClicked(); });
      return button1_;
    case layout::Control::ViewerSelect:
      check_box2_ = new QCheckBox(row.text, this);
      connect(check_box2_, &QCheckBox::clicked,
              [this](bool checked) { form_->OnViewerSelectClicked(checked); });
      return check_box2_;
    case layout::Control::ThreeD:
      check_box3_ = new QCheckBox(row.text, this);
      connect(check_box3_, &QCheckBox::clicked,
              [this](bool checked) { form_->OnThreeDClicked(checked); });
      return check_box3_;
    case layout::Control::IntervalLabel:
      label1_ = new QLabel(row.text, this);
      return label1_;
  }
  return nullptr;
}

MainWindowQt::~MainWindowQt() {
  // The interval box reports losing the focus while the base class tears the window down; it
  // goes first, while this window can still take the report.
  form_ = nullptr;
  delete rx_spin_edit1_;
}

void MainWindowQt::Attach(TForm1& form) {
  form_ = &form;
  chart_->Show(&form.Chart());
}

void MainWindowQt::PlaceStatusBarAndChart() {
  const int status_bar_top = height() - layout::kStatusBarHeight;
  status_bar1_->setGeometry(0, status_bar_top, width(), layout::kStatusBarHeight);
  const layout::Box chart = layout::ChartBox(width(), status_bar_top);
  chart_->setGeometry(chart.left, chart.top, chart.width, chart.height);
  int left = 0;
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    int panel_width = layout::kPanelWidths[i];
    if (i == 0) {
      // Room for any version text, whatever the font.
      const int text = panels_[0]->fontMetrics().horizontalAdvance(layout::kWidestVersionText);
      panel_width = std::max(panel_width, text + 8);
    } else if (i + 1 == panels_.size()) {
      // The last panel reaches the right edge, as status bars do.
      panel_width = std::max(panel_width, width() - left);
    }
    panels_[i]->setGeometry(left, 0, panel_width, layout::kStatusBarHeight);
    left += panel_width;
  }
}

void MainWindowQt::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceStatusBarAndChart();
}

void MainWindowQt::closeEvent(QCloseEvent* event) {
  if (form_->OnCloseRequested()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindowQt::ShowPanelText(int panel, const std::string& text) {
  QLabel* label = panels_.at(static_cast<std::size_t>(panel));
  label->setText(QString::fromLocal8Bit(text));
  // A long message may not fit its panel: the whole of it is a hover away.
  label->setToolTip(label->text());
}

void MainWindowQt::ShowButtonEnabled(bool enabled) {
  button1_->setEnabled(enabled);
}

void MainWindowQt::ShowAutoRun(bool checked) {
  check_box1_->setChecked(checked);
}

void MainWindowQt::ShowViewerSelect(bool checked) {
  check_box2_->setChecked(checked);
}

void MainWindowQt::ShowThreeD(bool checked) {
  check_box3_->setChecked(checked);
}

void MainWindowQt::ShowIntervalText(const std::string& text) {
  rx_spin_edit1_->ShowText(QString::fromStdString(text));
}

void MainWindowQt::RedrawChart() {
  chart_->update();
}

void MainWindowQt::ProcessPendingMessages() {
  QCoreApplication::processEvents();
}

int MainWindowQt::RunBox(QMessageBox& box) {
  // Qt guesses whether a text is markup; a folder named "<b>x</b>" is not.
  box.setTextFormat(Qt::PlainText);
  open_boxes_.push_back(&box);
  const int answer = box.exec();
  std::erase(open_boxes_, &box);
  return answer;
}

void MainWindowQt::ShowError(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, layout::kCaption, QString::fromLocal8Bit(message),
                  QMessageBox::Ok, this);
  RunBox(box);
}

bool MainWindowQt::AskCloseAnyway(const std::string& message) {
  QMessageBox box(QMessageBox::Question, layout::kCaption,
                  QString::fromLocal8Bit(message) + layout::kCloseAnywayQuestion,
                  QMessageBox::Yes | QMessageBox::No, this);
  box.setDefaultButton(QMessageBox::No);
  return RunBox(box) == QMessageBox::Yes;
}

void MainWindowQt::DismissBoxes() {
  for (QMessageBox* box : open_boxes_) {
    box->done(QMessageBox::Cancel);
  }
}

void MainWindowQt::LogError(const std::string& message) {
  std::fprintf(stderr, "quorvane: %s\n", message.c_str());
}

void MainWindowQt::EndProgram() {
  hide();
  QCoreApplication::exit(0);
}

void MainWindowQt::ProcessEventsWhileWaiting() {
  // Input too: Qt counts a close from the window manager as input. The window's logic drops
  // what would use the link meanwhile. Descriptors wait: a signal has interrupted the link
  // already and is handled once the wait is over.
  QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
}

}  // namespace quorvane
