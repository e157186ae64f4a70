#pragma once

#include <optional>
#include <string>

namespace quorvane {

// The title buffer's size: titles are read into 120 characters, so at most 119 are seen.
inline constexpr std::size_t kTitleBufferSize = 120;

// True when a foreground window title begins with "Google Earth" in any mix of case: its first
// 12 characters (of at most 119, up to any zero character), with "a" to "z" upper-cased, equal
// "GOOGLE EARTH". No window, or a shorter title, never matches.
bool TitleShowsViewer(const std::optional<std::string>& title);

}  // namespace quorvane
