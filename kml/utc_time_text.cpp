#include "kml/utc_time_text.h"

#include <array>
#include <charconv>

namespace quorvane {

namespace {

// Appends value in decimal with leading zeros to at least `digits` digits, a negative one with a
// "-" before them, as XML date-time years are written.
void AppendDigits(std::string& text, long long value, int digits) {
  std::array<char, 24> buffer{};
  const unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                                 : static_cast<unsigned long long>(value);
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude).ptr;
  const auto written = static_cast<int>(end - buffer.data());
  if (value < 0) {
    text += '-';
  }
  if (written < digits) {
    text.append(static_cast<std::size_t>(digits - written), '0');
  }
  text.append(buffer.data(), end);
}

}  // namespace

std::string UtcTimeText(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  // The system clock counts UTC seconds since 1970 without leap seconds, so the calendar date
  // follows from whole days alone. floor, not a cast, keeps times before 1970 on the right day.
  const sys_seconds seconds = floor<std::chrono::seconds>(time);
  const sys_days day = floor<days>(seconds);
  const year_month_day date(day);
  const hh_mm_ss<std::chrono::seconds> clock(seconds - day);

  // A real clock gives four-digit years; any other year is still written as XML writes it.
  std::string text;
  text.reserve(20);
  AppendDigits(text, static_cast<int>(date.year()), 4);
  text += '-';
  AppendDigits(text, static_cast<unsigned>(date.month()), 2);
  text += '-';
  AppendDigits(text, static_cast<unsigned>(date.day()), 2);
  text += 'T';
  AppendDigits(text, clock.hours().count(), 2);
  text += ':';
  AppendDigits(text, clock.minutes().count(), 2);
  text += ':';
  AppendDigits(text, clock.seconds().count(), 2);
  text += 'Z';
  return text;
}

}  // namespace quorvane
