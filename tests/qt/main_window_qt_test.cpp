// The Qt window on Qt's off-screen platform: what a person sees and what their clicks and keys do.

#include "app/qt/main_window_qt.h"

#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <utility>

#include "app/main_form.h"
#include "app/window_layout.h"
#include "chart/chart_style.h"
#include "files/platform_files.h"
#include "kml/document_set.h"
#include "tests/app/fake_form_services.h"
#include "tests/support/fake_link_services.h"

namespace quorvane {
namespace {

using namespace testing;

template <typename Widget>
Widget* Find(QWidget& window, const QString& text) {
  for (Widget* widget : window.findChildren<Widget*>()) {
    if (widget->text() == text) {
      return widget;
    }
  }
  return nullptr;
}

// A Documents folder of the test's own, removed with what the window wrote into it.
class DocumentsFolder {
 public:
  DocumentsFolder() {
    char folder[] = "/tmp/quorvane-qt-XXXXXX";
    path_ = ::mkdtemp(folder);
  }
  ~DocumentsFolder() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class QtWindowTest : public ::testing::Test {
 protected:
  QtWindowTest() {
    // Never the empty folder, which would put the files at the root of the file system.
    platform.documents_folder = documents_folder.path();
    services.PutServerWords();
    clock.Register(&update_timer);
    clock.Register(&retry_timer);
    clock.Register(&chart_timer);
    window.Attach(form);
  }

  DocumentsFolder documents_folder;
  FakeClock clock;
  FakePlatform platform;
  FakeDecimalSeparator decimal;
  FakeLinkServices services;
  FsuipcLink link{services};
  FsuipcOnlyLink simulator{link};
  DocumentSet documents{PlatformFileSystem(), "/nonexistent-folder"};
  MainWindowQt window;
  FakeTimer update_timer{clock, [this] { form.OnUpdateTimerTick(); }};
  FakeTimer retry_timer{clock, [this] { form.OnRetryTimerTick(); }};
  FakeTimer chart_timer{clock, [this] { form.OnChartTimerTick(); }};
  TForm1 form{FormContext{window,
                          platform,
                          decimal,
                          simulator,
                          documents.kml,
                          update_timer,
                          retry_timer,
                          chart_timer,
                          {},
                          documents.live_view,
                          documents.track,
                          documents.recorder,
                          [] { return std::chrono::system_clock::now(); },
                          services.interrupt,
                          documents.earlier_runs}};
};

TEST_F(QtWindowTest, ControlsStandWhereTheWindowWasDesigned) {
  EXPECT_EQ(window.windowTitle(), "Quorvane");
  EXPECT_EQ(window.size(), QSize(605, 338));
  EXPECT_EQ(window.font().pixelSize(), 11);
  auto* auto_run = Find<QCheckBox>(window, "AutoRun");
  auto* select = Find<QCheckBox>(window, "Google Earth Select");
  auto* label = Find<QLabel>(window, "Interval sec.");
  auto* show = Find<QPushButton>(window, "Show");
  auto* spin = window.findChild<QAbstractSpinBox*>();
  auto* three_d = Find<QCheckBox>(window, "3D");
  ASSERT_TRUE(auto_run && select && label && show && spin && three_d);
  EXPECT_EQ(auto_run->pos(), QPoint(40, 13));
  EXPECT_EQ(select->pos(), QPoint(176, 16));
  EXPECT_EQ(label->pos(), QPoint(336, 16));
  EXPECT_EQ(spin->geometry(), QRect(410, 11, 71, 21));
  EXPECT_EQ(show->geometry(), QRect(484, 8, 75, 25));
  // Controls widened for the font never run into their neighbours.
  EXPECT_LE(auto_run->geometry().right(), select->x());
  EXPECT_LE(select->geometry().right(), label->x());
  EXPECT_LE(label->geometry().right(), spin->x());
  // "3D" right of "Show", whole, within the window.
  EXPECT_EQ(three_d->pos(), QPoint(563, 13));
  EXPECT_GE(three_d->width(), three_d->sizeHint().width());
  EXPECT_LE(three_d->geometry().right(), 605);
  // Tab order: AutoRun, the interval, Show, Google Earth Select, 3D.
  EXPECT_EQ(auto_run->nextInFocusChain(), spin);
  QWidget* after_spin = spin->nextInFocusChain();
  while (after_spin->focusPolicy() == Qt::NoFocus || after_spin->parentWidget() == spin) {
    after_spin = after_spin->nextInFocusChain();
  }
  EXPECT_EQ(after_spin, show);
  EXPECT_EQ(show->nextInFocusChain(), select);
  EXPECT_EQ(select->nextInFocusChain(), three_d);
}

TEST_F(QtWindowTest, StatusBarShowsThePanelsAndFollowsTheBottomEdge) {
  form.OnCreate();
  window.show();
  auto* version = Find<QLabel>(window, "FSUIPC Version: 3.622b");
  auto* connect = Find<QLabel>(window, "Connect: Okay");
  ASSERT_TRUE(version && connect);
  EXPECT_EQ(version->mapTo(&window, QPoint(0, 0)).y(), 319);
  EXPECT_GE(version->width(), 120);
  EXPECT_GE(version->width(), version->sizeHint().width()) << "the version text fits";
  EXPECT_EQ(connect->width(), 100);
  window.resize(800, 500);
  EXPECT_EQ(version->mapTo(&window, QPoint(0, 0)).y(), 481);
  QLabel* sample = nullptr;
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (label->text().startsWith("Lat: ")) {
      sample = label;
    }
  }
  ASSERT_TRUE(sample);
  EXPECT_EQ(sample->mapTo(&window, QPoint(sample->width(), 0)).x(), 800)
      << "the last panel reaches the right edge";
}

// The window's pixels of the colour: within the chart's box, and outside it.
std::pair<int, int> CountColour(QWidget& window, ChartColour colour) {
  const QImage image = window.grab().toImage();
  const layout::Box box =
      layout::ChartBox(window.width(), window.height() - layout::kStatusBarHeight);
  std::pair<int, int> count;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == qRgb(colour.red, colour.green, colour.blue)) {
        ++(QRect(box.left, box.top, box.width, box.height).contains(x, y) ? count.first
                                                                          : count.second);
      }
    }
  }
  return count;
}

// The chart fills the area between the controls and the status bar at any size, and the
// aircraft appears on it with the first fix.
TEST_F(QtWindowTest, ChartShowsTheAircraftBetweenTheControlsAndTheStatusBar) {
  window.show();
  EXPECT_EQ(CountColour(window, chart_style::kAircraftFill).first, 0);
  form.OnCreate();  // the first fix
  EXPECT_GT(CountColour(window, chart_style::kAircraftFill).first, 20);
  const auto ground = CountColour(window, chart_style::kBackground);
  EXPECT_GT(ground.first, 100000);
  EXPECT_EQ(ground.second, 0) << "nothing of the chart over the controls or the status bar";
  window.resize(800, 500);
  EXPECT_GT(CountColour(window, chart_style::kBackground).first, ground.first * 2);
}

TEST_F(QtWindowTest, AutoRunClickDisablesShow) {
  window.show();
  auto* auto_run = Find<QCheckBox>(window, "AutoRun");
  auto* show = Find<QPushButton>(window, "Show");
  QTest::mouseClick(auto_run, Qt::LeftButton);
  EXPECT_TRUE(form.AutoRun());
  EXPECT_FALSE(show->isEnabled());
  QTest::mouseClick(auto_run, Qt::LeftButton);
  EXPECT_TRUE(show->isEnabled());
}

TEST_F(QtWindowTest, ThreeDClickReachesTheDocuments) {
  window.show();
  auto* three_d = Find<QCheckBox>(window, "3D");
  QTest::mouseClick(three_d, Qt::LeftButton);
  EXPECT_TRUE(form.ThreeD());
  EXPECT_EQ(documents.kml.CurrentRelief(), Relief::kThreeDimensional);
  QTest::mouseClick(three_d, Qt::LeftButton);
  EXPECT_FALSE(form.ThreeD());
  EXPECT_EQ(documents.kml.CurrentRelief(), Relief::kFlat);
}

TEST_F(QtWindowTest, TypingAndLeavingTheIntervalBoxGoesThroughTheRules) {
  form.OnCreate();
  window.show();
  QApplication::setActiveWindow(&window);
  auto* spin = window.findChild<QAbstractSpinBox*>();
  auto* edit = spin->findChild<QLineEdit*>();
  spin->setFocus();
  edit->selectAll();
  QTest::keyClicks(edit, "5x.");  // letters and points are refused
  EXPECT_EQ(edit->text(), "5");
  EXPECT_EQ(update_timer.period_ms(), 60000) << "5 waits for the box to lose the focus";
  Find<QPushButton>(window, "Show")->setFocus();
  EXPECT_EQ(edit->text(), "10");
  EXPECT_EQ(update_timer.period_ms(), 10000);

  spin->setFocus();
  QTest::keyClick(spin, Qt::Key_Down);
  EXPECT_EQ(edit->text(), "10") << "never below 10";
  QTest::keyClick(spin, Qt::Key_Up);
  EXPECT_EQ(edit->text(), "11");
  EXPECT_EQ(update_timer.period_ms(), 11000);
}

// Runs `while_open` once the next message box is up, from inside its own event loop.
void WhileTheBoxIsOpen(std::function<void(QMessageBox&)> while_open) {
  QTimer::singleShot(0, [while_open = std::move(while_open)] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr) << "no box is open";
    while_open(*box);
  });
}

// A folder may have any name; the box shows it as it is, never as markup.
TEST_F(QtWindowTest, BoxesShowTheMessageAsPlainText) {
  const std::string message = "Cannot create file \"/home/<b>pilot</b>/a&amp;b/letadlo.kml\".";
  QString shown;
  WhileTheBoxIsOpen([&](QMessageBox& box) {
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    shown = box.text();
    box.accept();
  });
  window.ShowError(message);
  EXPECT_EQ(shown.toStdString(), message);

  WhileTheBoxIsOpen([&](QMessageBox& box) {
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    shown = box.text();
    box.button(QMessageBox::Yes)->click();
  });
  EXPECT_TRUE(window.AskCloseAnyway(message));
  EXPECT_EQ(shown.toStdString().rfind(message, 0), 0u);
}

// A termination request comes through the box's own event loop: the box goes at once, and a
// question so dismissed is no "Yes".
TEST_F(QtWindowTest, DismissedBoxesReturnAtOnce) {
  WhileTheBoxIsOpen([&](QMessageBox&) { window.DismissBoxes(); });
  window.ShowError("an error");
  WhileTheBoxIsOpen([&](QMessageBox&) { window.DismissBoxes(); });
  EXPECT_FALSE(window.AskCloseAnyway("a question"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace quorvane

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
