#include "chart/polyline_thinner.h"

#include <cstddef>
#include <utility>

namespace quorvane {

namespace {

// Dropping points nearer than this to the last one kept changes no pixel worth drawing.
constexpr double kStepPixels = 1.0;
// The simplification works on windows of this many points, each window's last point the next
// one's first: it costs time in proportion to the square of its points where a route loops
// over itself again and again (circuits), and windows keep that bounded.
constexpr std::size_t kWindow = 512;

double SquaredDistance(PixelPoint a, PixelPoint b) {
  const double dx = a.x - b.x;
  const double dy = a.y - b.y;
  return dx * dx + dy * dy;
}

// The squared distance of p from the segment a-b (from a itself when the two coincide, as at the
// ends of a closed loop).
double SquaredDistanceToSegment(PixelPoint p, PixelPoint a, PixelPoint b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length = dx * dx + dy * dy;
  if (length == 0.0) {
    return SquaredDistance(p, a);
  }
  double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / length;
  t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
  return SquaredDistance(p, {a.x + t * dx, a.y + t * dy});
}

// Douglas-Peucker over the whole polyline, with a stack of spans instead of recursion so that a
// long route cannot run out of stack.
std::vector<PixelPoint> Simplify(const std::vector<PixelPoint>& points, double tolerance) {
  const std::size_t count = points.size();
  if (count < 3) {
    return points;
  }
  std::vector<bool> keep(count, false);
  keep.front() = keep.back() = true;
  const double limit = tolerance * tolerance;
  std::vector<std::pair<std::size_t, std::size_t>> spans{{0, count - 1}};
  while (!spans.empty()) {
    const auto [first, last] = spans.back();
    spans.pop_back();
    double farthest = 0.0;
    std::size_t index = first;
    for (std::size_t i = first + 1; i < last; ++i) {
      const double distance = SquaredDistanceToSegment(points[i], points[first], points[last]);
      if (distance > farthest) {
        farthest = distance;
        index = i;
      }
    }
    if (farthest > limit) {
      keep[index] = true;
      spans.emplace_back(first, index);
      spans.emplace_back(index, last);
    }
  }
  std::vector<PixelPoint> thinned;
  for (std::size_t i = 0; i < count; ++i) {
    if (keep[i]) {
      thinned.push_back(points[i]);
    }
  }
  return thinned;
}

}  // namespace

void PolylineThinner::Add(PixelPoint point) {
  last_ = point;
  if (kept_.empty() || SquaredDistance(point, kept_.back()) >= kStepPixels * kStepPixels) {
    kept_.push_back(point);
    last_kept_ = true;
    if (kept_.size() == kWindow) {
      SimplifyWindow();
    }
  } else {
    last_kept_ = false;
  }
}

void PolylineThinner::SimplifyWindow() {
  const std::vector<PixelPoint> simplified = Simplify(kept_, tolerance_);
  // The window's last point stays to begin the next one.
  thinned_.insert(thinned_.end(), simplified.begin(), simplified.end() - 1);
  kept_.erase(kept_.begin(), kept_.end() - 1);
}

std::vector<PixelPoint> PolylineThinner::Take() {
  // The route ends where it ends, even within a pixel of the last point kept.
  if (!last_kept_ && (last_.x != kept_.back().x || last_.y != kept_.back().y)) {
    kept_.push_back(last_);
  }
  const std::vector<PixelPoint> simplified = Simplify(kept_, tolerance_);
  thinned_.insert(thinned_.end(), simplified.begin(), simplified.end());
  std::vector<PixelPoint> thinned = std::move(thinned_);
  thinned_.clear();
  kept_.clear();
  last_kept_ = true;
  return thinned;
}

void KeepWithinBudget(std::vector<std::vector<PixelPoint>>& lines, std::size_t budget) {
  const auto count = [](const std::vector<std::vector<PixelPoint>>& all) {
    std::size_t points = 0;
    for (const auto& line : all) {
      points += line.size();
    }
    return points;
  };
  if (count(lines) <= budget) {
    return;
  }
  // Every coarser try starts from the fine lines, so the errors do not add up.
  std::vector<std::vector<PixelPoint>> coarser;
  for (double tolerance : {1.0, 2.0, 4.0}) {
    coarser.clear();
    PolylineThinner thinner(tolerance);
    for (const auto& line : lines) {
      for (const PixelPoint& point : line) {
        thinner.Add(point);
      }
      coarser.push_back(thinner.Take());
    }
    if (count(coarser) <= budget) {
      break;
    }
  }
  lines = std::move(coarser);
}

}  // namespace quorvane
