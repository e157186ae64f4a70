#include "text/number_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace quorvane {

std::string FormatFixed(double value, int width, int decimals) {
  // std::to_chars never consults the locale, so a "," decimal separator cannot leak in.
  // 400 characters hold any finite double in fixed notation with up to 20 decimals.
  std::array<char, 400> buffer{};
  std::string digits;
  if (std::isfinite(value)) {
    auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    digits = error == std::errc{} ? std::string(buffer.data(), end) : std::string("nan");
  } else if (std::isnan(value)) {
    digits = std::signbit(value) ? "-nan" : "nan";
  } else {
    digits = value < 0 ? "-inf" : "inf";
  }
  if (static_cast<int>(digits.size()) < width) {
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), ' ');
  }
  return digits;
}

std::string TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    return {};
  }
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace quorvane
