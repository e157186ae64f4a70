#pragma once

// Numbers as texts and texts as numbers, independent of the process's locale, for every layer:
// what is written into files and what is read from options, settings and datagrams.

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace quorvane {

// Formats value as printf's "%<width>.<decimals>f" would under the "C" locale: fixed point,
// exactly `decimals` digits after a "." (none and no point when 0), padded on the left with
// blanks to at least `width` characters and never cut. Independent of the process's locale.
std::string FormatFixed(double value, int width, int decimals);

// Returns text without leading and trailing blanks (character 32).
std::string TrimBlanks(std::string_view text);

// The whole of text as a number of type T: an integer in `base` (2 to 36, digits only, a "-"
// before them for a signed T) or a floating-point number ("." as the decimal point, whatever the
// locale; base is not used). Nothing when text is empty, when anything but the number is in it
// (a blank, a "+", a "0x"), or when the number lies beyond T's range.
template <typename T>
std::optional<T> ParseWhole(std::string_view text, int base = 10) {
  T value{};
  const char* const end = text.data() + text.size();
  std::from_chars_result result{};
  if constexpr (std::is_floating_point_v<T>) {
    static_cast<void>(base);
    result = std::from_chars(text.data(), end, value);
  } else {
    result = std::from_chars(text.data(), end, value, base);
  }
  if (text.empty() || result.ec != std::errc{} || result.ptr != end) {
    return std::nullopt;
  }
  return value;
}

}  // namespace quorvane
