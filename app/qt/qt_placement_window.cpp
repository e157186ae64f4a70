#include "app/qt/qt_placement_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cmath>

namespace quorvane {

namespace {

constexpr int kFrameSide = 4;
constexpr int kFrameTop = 23;

Rect OuterOf(const QRect& client) {
  return {client.x() - kFrameSide, client.y() - kFrameTop, client.x() + client.width() + kFrameSide,
          client.y() + client.height() + kFrameSide};
}

QRect ClientOf(const Rect& outer) {
  return QRect(outer.left + kFrameSide, outer.top + kFrameTop, outer.Width() - 2 * kFrameSide,
               outer.Height() - kFrameTop - kFrameSide);
}

}  // namespace

WindowPlacement QtPlacementWindow::GetPlacement() {
  WindowPlacement placement;
  placement.flags = flags_;
  placement.show_command = window_.isMinimized()   ? kShowMinimized
                           : window_.isMaximized() ? kShowMaximized
                                                   : kShowNormal;
  placement.min_position = min_position_;
  placement.max_position = max_position_;
  const bool normal = !window_.isMinimized() && !window_.isMaximized();
  placement.normal = OuterOf(normal ? window_.geometry() : window_.normalGeometry());
  return placement;
}

void QtPlacementWindow::SetPlacement(const WindowPlacement& placement) {
  flags_ = placement.flags;
  min_position_ = placement.min_position;
  max_position_ = placement.max_position;
  const QRect client = ClientOf(placement.normal);
  if (client.isValid() && client != window_.geometry() && !window_.isMaximized() &&
      !window_.isMinimized()) {
    window_.setGeometry(client);
  }
}

void QtPlacementWindow::SetState(WindowState state) {
  Qt::WindowStates states = window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
  if (state == WindowState::Maximized) {
    states |= Qt::WindowMaximized;
  } else if (state == WindowState::Minimized) {
    states |= Qt::WindowMinimized;
  }
  window_.setWindowState(states);
}

void QtPlacementWindow::PostMinimizeApplication() {
  // Minimized as soon as the event loop runs, after the window has been shown.
  QTimer::singleShot(0, &window_, [this] { window_.showMinimized(); });
}

int QtPlacementWindow::PixelsPerInch() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? static_cast<int>(std::lround(screen->logicalDotsPerInch())) : 96;
}

Point QtPlacementWindow::PrimaryScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? Point{screen->size().width(), screen->size().height()} : Point{};
}

Point QtPlacementWindow::FrameThickness() {
  const int side = (window_.frameGeometry().width() - window_.geometry().width()) / 2;
  return side > 0 ? Point{side, side} : Point{kFrameSide, kFrameSide};
}

std::vector<Rect> QtPlacementWindow::Screens() {
  std::vector<Rect> screens;
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->availableGeometry();
    const Rect rect{area.x(), area.y(), area.x() + area.width(), area.y() + area.height()};
    if (screen == primary) {
      screens.insert(screens.begin(), rect);
    } else {
      screens.push_back(rect);
    }
  }
  return screens;
}

}  // namespace quorvane
