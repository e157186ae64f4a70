#include "chart/chart_figures.h"

#include <cmath>
#include <vector>

namespace quorvane {

namespace {

// Beyond this a figure is no reading of an aircraft but a fault of the source.
constexpr double kLargestFigure = 1e7;

// A whole number as text (std::to_string of an integer does not depend on the locale).
std::optional<std::string> WholeText(std::optional<double> value) {
  if (!value || !std::isfinite(*value) || std::fabs(*value) > kLargestFigure) {
    return std::nullopt;
  }
  return std::to_string(std::llround(*value));
}

}  // namespace

std::string UpdatedAgoText(std::chrono::system_clock::duration elapsed) {
  using std::chrono::duration_cast;
  const long long seconds = duration_cast<std::chrono::seconds>(elapsed).count();
  if (seconds < 1) {
    return "just now";
  }
  if (seconds < 120) {
    return std::to_string(seconds) + " s ago";
  }
  const long long minutes = seconds / 60;
  if (minutes < 60) {
    return std::to_string(minutes) + " min ago";
  }
  return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min ago";
}

std::string ChartFiguresText(std::optional<double> altitude_feet,
                             std::optional<double> ground_speed_knots, std::size_t points,
                             std::optional<std::chrono::system_clock::time_point> last_update,
                             std::chrono::system_clock::time_point now) {
  std::vector<std::string> parts;
  if (const auto altitude = WholeText(altitude_feet)) {
    parts.push_back(*altitude + " ft");
  }
  if (const auto speed = WholeText(ground_speed_knots)) {
    parts.push_back("GS " + *speed + " kt");
  }
  parts.push_back(std::to_string(points) + (points == 1 ? " point" : " points"));
  if (last_update) {
    parts.push_back("updated " + UpdatedAgoText(now - *last_update));
  }
  std::string text;
  for (const std::string& part : parts) {
    text += (text.empty() ? "" : "   ") + part;
  }
  return text;
}

}  // namespace quorvane
