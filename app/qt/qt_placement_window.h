#pragma once

#include <QWidget>

#include "app/settings/window_placement.h"

namespace quorvane {

// The placement record mapped to a Qt window. The normal rectangle is the window's outer
// rectangle in screen coordinates, taken as its client area with a classic frame around it (4
// pixels at the sides and bottom, 23 at the top), so that what is saved reads back to the same
// client area whatever frame the window manager draws. The flags and the minimized position,
// which Qt has no use for, are kept as they were read so they survive a save.
class QtPlacementWindow final : public PlacementWindow {
 public:
  explicit QtPlacementWindow(QWidget& window) : window_(window) {}

  WindowPlacement GetPlacement() override;
  void SetPlacement(const WindowPlacement& placement) override;
  bool IsVisible() override { return window_.isVisible(); }
  void SetState(WindowState state) override;
  void PostMinimizeApplication() override;
  bool ApplicationMinimized() override { return window_.isMinimized(); }
  int PixelsPerInch() override;
  Point PrimaryScreenSize() override;
  Point FrameThickness() override;
  std::vector<Rect> Screens() override;

 private:
  QWidget& window_;
  int flags_ = 0;
  Point min_position_{-1, -1};
  Point max_position_{-1, -1};
};

}  // namespace quorvane
