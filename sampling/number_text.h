#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// Formats value as printf's "%<width>.<decimals>f" would under the "C" locale: fixed point,
// exactly `decimals` digits after a "." (none and no point when 0), padded on the left with
// blanks to at least `width` characters and never cut. Independent of the process's locale.
std::string FormatFixed(double value, int width, int decimals);

// Returns text without leading and trailing blanks (character 32).
std::string TrimBlanks(std::string_view text);

}  // namespace quorvane
