#pragma once

// A window for the stored settings that records what it is told.

#include <vector>

#include "app/settings/window_placement.h"

namespace quorvane::testing {

class FakePlacementWindow final : public PlacementWindow {
 public:
  WindowPlacement GetPlacement() override {
    WindowPlacement current = placement;
    current.show_command = state == WindowState::Maximized   ? kShowMaximized
                           : state == WindowState::Minimized ? kShowMinimized
                                                             : kShowNormal;
    return current;
  }
  void SetPlacement(const WindowPlacement& record) override {
    placement = record;
    ++placements_applied;
  }
  bool IsVisible() override { return visible; }
  void SetState(WindowState new_state) override {
    state = new_state;
    visible = visible || new_state == WindowState::Maximized;
    states.push_back(new_state);
  }
  void PostMinimizeApplication() override { minimize_posted = true; }
  bool ApplicationMinimized() override { return application_minimized; }
  int PixelsPerInch() override { return pixels_per_inch; }
  Point PrimaryScreenSize() override { return screen; }
  Point FrameThickness() override { return {4, 4}; }
  std::vector<Rect> Screens() override { return {{0, 0, screen.x, screen.y}}; }

  WindowPlacement placement{0, kShowNormal, {-1, -1}, {-1, -1}, {482, 254, 1095, 619}};
  WindowState state = WindowState::Normal;
  std::vector<WindowState> states;
  bool visible = false;
  bool minimize_posted = false;
  bool application_minimized = false;
  int pixels_per_inch = 96;
  Point screen{1280, 1024};
  int placements_applied = 0;
};

}  // namespace quorvane::testing
