#pragma once

// How often the program samples the aircraft for the live view: `Seconds=` in the section
// `[LiveView]` of the settings file. The program only reads it; the section is the user's.

#include <string>

#include "app/settings/profile_file.h"

namespace quorvane {

inline constexpr int kLiveViewDefaultSeconds = 2;
inline constexpr int kLiveViewMinimumSeconds = 1;
inline constexpr int kLiveViewMaximumSeconds = 10;
inline constexpr const char* kLiveViewSection = "LiveView";
inline constexpr const char* kLiveViewSecondsKey = "Seconds";

// The seconds a value's text gives: a whole number from 1 to 10 as it is, one below or above that
// range the nearest bound, and anything else (empty, a fraction, letters, too large to read) the
// default of 2. Blanks around the number are ignored.
int LiveViewSecondsFromText(const std::string& text);

// The seconds the settings file `file_name` gives, or the default when it has no such key or
// cannot be read. Writes nothing, and never throws.
int ReadLiveViewSeconds(ProfileFiles& files, const std::string& file_name);

}  // namespace quorvane
