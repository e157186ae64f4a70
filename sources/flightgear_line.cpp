#include "sources/flightgear_line.h"

#include <array>
#include <cmath>
#include <optional>

#include "text/number_text.h"

namespace quorvane::sources {

namespace {

constexpr std::size_t kNumberFields = 6;
constexpr std::size_t kMaxFields = 7;
constexpr std::size_t kMaxVersion = 32;
constexpr double kMetresPerFoot = 0.3048;
constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

bool Within(double value, double low, double high) {
  return std::isfinite(value) && value >= low && value <= high;
}

bool VersionCharacter(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
         c == '-' || c == '_' || c == '+';
}

bool PlausibleVersion(std::string_view text) {
  if (text.empty() || text.size() > kMaxVersion) {
    return false;
  }
  for (char c : text) {
    if (!VersionCharacter(c)) {
      return false;
    }
  }
  return true;
}

}  // namespace

FlightGearLine DecodeFlightGearLine(std::string_view datagram) {
  FlightGearLine line;
  if (datagram.size() > kFlightGearMaxLine) {
    line.verdict = Verdict::Oversized;
    return line;
  }
  // One line: its end is optional, and nothing may follow it.
  if (!datagram.empty() && datagram.back() == '\n') {
    datagram.remove_suffix(1);
    if (!datagram.empty() && datagram.back() == '\r') {
      datagram.remove_suffix(1);
    }
  }
  if (datagram.find_first_of("\r\n") != std::string_view::npos) {
    line.verdict = Verdict::WrongHeader;
    return line;
  }

  std::array<std::string_view, kMaxFields> fields;
  std::size_t count = 0;
  for (std::size_t start = 0;;) {
    const std::size_t comma = datagram.find(',', start);
    if (count == kMaxFields) {
      line.verdict = Verdict::WrongHeader;  // more fields than the format has
      return line;
    }
    fields[count++] =
        datagram.substr(start, comma == std::string_view::npos ? comma : comma - start);
    if (comma == std::string_view::npos) {
      break;
    }
    start = comma + 1;
  }
  if (count < kNumberFields) {
    line.verdict = Verdict::Truncated;
    return line;
  }

  std::array<double, kNumberFields> numbers{};
  for (std::size_t i = 0; i < kNumberFields; ++i) {
    const std::optional<double> number = ParseWhole<double>(fields[i]);
    if (!number) {
      line.verdict = Verdict::BadValue;
      return line;
    }
    numbers[i] = *number;
  }
  const auto [latitude, longitude, altitude_ft, heading, magvar, speed_kt] = numbers;
  if (!Within(latitude, -90.0, 90.0) || !Within(longitude, -180.0, 180.0) ||
      !Within(altitude_ft, -1e6, 1e6) || !Within(heading, -360.0, 360.0) ||
      !Within(magvar, -180.0, 180.0) || !Within(speed_kt, 0.0, 100000.0)) {
    line.verdict = Verdict::BadValue;
    return line;
  }
  if (count == kMaxFields) {
    if (!PlausibleVersion(fields[kNumberFields])) {
      line.verdict = Verdict::BadValue;
      return line;
    }
    line.version = std::string(fields[kNumberFields]);
  }

  line.reading.latitude = latitude;
  line.reading.longitude = longitude;
  line.reading.altitude = altitude_ft * kMetresPerFoot;
  line.reading.true_heading = heading;
  line.reading.magvar = magvar;
  line.reading.ground_speed = speed_kt * kMetresPerSecondPerKnot;
  line.verdict = Verdict::Accepted;
  return line;
}

}  // namespace quorvane::sources
