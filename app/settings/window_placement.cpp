#include "app/settings/window_placement.h"

#include <algorithm>

namespace quorvane {

namespace {

// Enough of a window on a screen to see it and take hold of it.
constexpr int kMinimumVisibleWidth = 32;
constexpr int kMinimumVisibleHeight = 16;

bool Overlaps(const Rect& a, const Rect& b) {
  const int width = std::min(a.right, b.right) - std::max(a.left, b.left);
  const int height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
  return width >= std::min(kMinimumVisibleWidth, a.Width()) &&
         height >= std::min(kMinimumVisibleHeight, a.Height()) && width > 0 && height > 0;
}

}  // namespace

Rect BringOntoScreen(const Rect& rect, const std::vector<Rect>& screens) {
  if (screens.empty() || std::any_of(screens.begin(), screens.end(), [&rect](const Rect& screen) {
        return Overlaps(rect, screen);
      })) {
    return rect;
  }
  const Rect& primary = screens.front();
  const int width = std::clamp(rect.Width(), 1, std::max(1, primary.Width()));
  const int height = std::clamp(rect.Height(), 1, std::max(1, primary.Height()));
  // Centred on the primary screen.
  const int left = primary.left + (primary.Width() - width) / 2;
  const int top = primary.top + (primary.Height() - height) / 2;
  return {left, top, left + width, top + height};
}

}  // namespace quorvane
