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
#include "app/qt/interval_spin_box.h"

namespace quorvane {

namespace {

constexpr int kClientWidth = 605;  // an outer size of 613 x 365 with a classic frame
constexpr int kClientHeight = 338;
constexpr int kStatusBarHeight = 19;
constexpr std::array<int, 3> kPanelWidths = {120, 100, 200};

// Places a control at its designed rectangle, wider only where its text needs more room (the
// available fonts are wider than the one the layout was designed for).
void Place(QWidget* control, int left, int top, int width, int height) {
  control->setGeometry(left, top, std::max(width, control->sizeHint().width()), height);
}

QFont WindowFont() {
  QFont font;
  font.setFamilies(
      {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"});
  font.setPixelSize(11);
  return font;
}

}  // namespace

MainWindowQt::MainWindowQt() {
  setWindowTitle("Quorvane");
  setFont(WindowFont());
  resize(kClientWidth, kClientHeight);
  move(482, 254);

  check_box1_ = new QCheckBox("AutoRun", this);
  check_box2_ = new QCheckBox("Google Earth Select", this);
  label1_ = new QLabel("Interval sec.", this);
  rx_spin_edit1_ = new IntervalSpinBox(
      this, {[this](int delta) { form_->OnIntervalStep(delta); },
             [this](const QString& text) { form_->OnIntervalTyped(text.toStdString()); },
             [this] {
               if (form_ != nullptr) {
                 form_->OnIntervalFocusLost();
               }
             }});
  button1_ = new QPushButton("Show", this);
  Place(check_box1_, 40, 13, 97, 17);
  Place(check_box2_, 176, 16, 121, 17);
  Place(label1_, 336, 16, 58, 13);
  rx_spin_edit1_->setGeometry(410, 11, 71, 21);
  button1_->setGeometry(484, 8, 75, 25);

  status_bar1_ = new QWidget(this);
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    panels_[i] = new QLabel(status_bar1_);
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panels_[i]->setTextFormat(Qt::PlainText);
    panels_[i]->setContentsMargins(2, 0, 2, 0);
  }
  PlaceStatusBar();

  setTabOrder(check_box1_, rx_spin_edit1_);
  setTabOrder(rx_spin_edit1_, button1_);
  setTabOrder(button1_, check_box2_);

  connect(check_box1_, &QCheckBox::clicked,
          [this](bool checked) { form_->OnAutoRunClicked(checked); });
  connect(check_box2_, &QCheckBox::clicked,
          [this](bool checked) { form_->OnViewerSelectClicked(checked); });
  connect(button1_, &QPushButton::clicked, [this] { form_->OnShowButtonClicked(); });
}

MainWindowQt::~MainWindowQt() {
  // The interval box reports losing the focus while the base class tears the window down; it
  // goes first, while this window can still take the report.
  form_ = nullptr;
  delete rx_spin_edit1_;
}

void MainWindowQt::Attach(TForm1& form) {
  form_ = &form;
}

void MainWindowQt::PlaceStatusBar() {
  status_bar1_->setGeometry(0, height() - kStatusBarHeight, width(), kStatusBarHeight);
  int left = 0;
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    // The last panel reaches the right edge, as status bars do.
    int panel_width = kPanelWidths[i];
    if (i == 0) {
      // Room for any version text, whatever the font.
      const int text = panels_[0]->fontMetrics().horizontalAdvance("FSUIPC Version: 8.888w");
      panel_width = std::max(panel_width, text + 8);
    } else if (i + 1 == panels_.size()) {
      // The last panel reaches the right edge, as status bars do.
      panel_width = std::max(panel_width, width() - left);
    }
    panels_[i]->setGeometry(left, 0, panel_width, kStatusBarHeight);
    left += panel_width;
  }
}

void MainWindowQt::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceStatusBar();
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

void MainWindowQt::ShowIntervalText(const std::string& text) {
  rx_spin_edit1_->ShowText(QString::fromStdString(text));
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
  QMessageBox box(QMessageBox::Critical, "Quorvane", QString::fromLocal8Bit(message),
                  QMessageBox::Ok, this);
  RunBox(box);
}

bool MainWindowQt::AskCloseAnyway(const std::string& message) {
  QMessageBox box(
      QMessageBox::Question, "Quorvane",
      QString::fromLocal8Bit(message) + "\n\nThe route could not be saved. Close anyway?",
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
