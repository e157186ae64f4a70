#pragma once

#include <vector>

namespace quorvane {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// Show commands of a placement record.
inline constexpr int kShowHidden = 0;
inline constexpr int kShowNormal = 1;
inline constexpr int kShowMinimized = 2;
inline constexpr int kShowMaximized = 3;

// A window's placement, as the settings file stores it: flags, show command, minimized and
// maximized positions and the normal (restored) rectangle, in workspace coordinates.
struct WindowPlacement {
  int flags = 0;
  int show_command = kShowNormal;
  Point min_position{-1, -1};
  Point max_position{-1, -1};
  Rect normal;
  bool operator==(const WindowPlacement&) const = default;
};

enum class WindowState { Normal, Minimized, Maximized };

// What the stored settings need of the window and its screen, whatever draws it.
class PlacementWindow {
 public:
  virtual ~PlacementWindow() = default;
  virtual WindowPlacement GetPlacement() = 0;
  virtual void SetPlacement(const WindowPlacement& placement) = 0;
  virtual bool IsVisible() = 0;
  // The window's state through its ordinary setter (maximizing a hidden window shows it).
  virtual void SetState(WindowState state) = 0;
  // Asks the application to minimize itself as soon as its message loop runs.
  virtual void PostMinimizeApplication() = 0;
  virtual bool ApplicationMinimized() = 0;
  virtual int PixelsPerInch() = 0;
  // The primary screen's size in pixels, for the screen-suffixed keys.
  virtual Point PrimaryScreenSize() = 0;
  // The thickness of the window's sizing frame (x and y), for the maximized position.
  virtual Point FrameThickness() = 0;
  // The work areas of the screens present, the primary one first.
  virtual std::vector<Rect> Screens() = 0;
};

// A rectangle that lies off every screen present is moved onto the first (primary) screen,
// keeping its size where it fits there; any other rectangle is returned unchanged.
Rect BringOntoScreen(const Rect& rect, const std::vector<Rect>& screens);

}  // namespace quorvane
