#include "chart/scale_bar.h"

#include <algorithm>
#include <cmath>

namespace quorvane {

namespace {

constexpr int kSmallestPower = -3;
constexpr int kLargestPower = 4;

// digit times ten to the power, written out without the locale: "5", "20", "0.05".
std::string RoundNumberText(int digit, int power) {
  const char digit_text = static_cast<char>('0' + digit);
  if (power >= 0) {
    return digit_text + std::string(static_cast<std::size_t>(power), '0');
  }
  return "0." + std::string(static_cast<std::size_t>(-power - 1), '0') + digit_text;
}

}  // namespace

ScaleBarLength ChooseScaleBar(double pixels_per_nm, double max_pixels) {
  if (!std::isfinite(pixels_per_nm) || !std::isfinite(max_pixels) || pixels_per_nm <= 0.0 ||
      max_pixels <= 0.0) {
    return {};
  }
  const double longest = max_pixels / pixels_per_nm;
  int power =
      std::clamp(static_cast<int>(std::floor(std::log10(longest))), kSmallestPower, kLargestPower);
  int digit = 1;
  // From the power that holds the longest length, the largest of 5, 2, 1 that fits. The power
  // is rounded from a logarithm, so one above it is tried too.
  bool found = false;
  for (int p = std::min(power + 1, kLargestPower); p >= kSmallestPower && !found; --p) {
    for (int d : {5, 2, 1}) {
      if (d * std::pow(10.0, p) <= longest * (1.0 + 1e-12)) {
        power = p;
        digit = d;
        found = true;
        break;
      }
    }
  }
  if (!found) {
    power = kSmallestPower;
    digit = 1;
  }
  const double miles = digit * std::pow(10.0, power);
  return {miles, miles * pixels_per_nm, RoundNumberText(digit, power) + " NM"};
}

}  // namespace quorvane
