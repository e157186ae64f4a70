#include "app/settings/live_view_seconds.h"

#include <algorithm>
#include <exception>

#include "text/number_text.h"

namespace quorvane {

int LiveViewSecondsFromText(const std::string& text) {
  const auto value = ParseWhole<long long>(TrimBlanks(text));
  if (!value) {
    return kLiveViewDefaultSeconds;
  }
  // A number out of range is what the user meant, only too much: the nearest rate that is kept.
  return static_cast<int>(
      std::clamp<long long>(*value, kLiveViewMinimumSeconds, kLiveViewMaximumSeconds));
}

int ReadLiveViewSeconds(ProfileFiles& files, const std::string& file_name) {
  try {
    const auto file = files.Open(file_name);
    const std::string text = file->ReadString(kLiveViewSection, kLiveViewSecondsKey, "");
    // Nothing was written: releasing writes nothing either.
    file->Release();
    return LiveViewSecondsFromText(text);
  } catch (const std::exception&) {
    // The live view is an extra: a settings file that cannot be read must not stop the window.
    return kLiveViewDefaultSeconds;
  }
}

}  // namespace quorvane
