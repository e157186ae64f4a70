// Times of the GPX track as XML date-time texts in UTC, across day, month and year ends, leap
// days, times before 1970, and under a comma locale.

#include "kml/utc_time_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ostream>
#include <string>

#include "tests/kml/comma_locale.h"

namespace quorvane {
namespace {

using Clock = std::chrono::system_clock;

struct TimeCase {
  std::string label;
  long long seconds_since_1970;  // counted by hand or with `date -u -d ... +%s`
  std::string text;

  friend void PrintTo(const TimeCase& c, std::ostream* out) {
    *out << c.seconds_since_1970 << " -> " << c.text;
  }
};

Clock::time_point At(long long seconds_since_1970) {
  return Clock::time_point(std::chrono::seconds(seconds_since_1970));
}

const TimeCase kTimes[] = {
    {"Epoch", 0, "1970-01-01T00:00:00Z"},
    {"LastSecondBeforeTheEpoch", -1, "1969-12-31T23:59:59Z"},
    {"EndOfADay", 1700006399, "2023-11-14T23:59:59Z"},
    {"StartOfTheNextDay", 1700006400, "2023-11-15T00:00:00Z"},
    {"EndOfAThirtyDayMonth", 1719791999, "2024-06-30T23:59:59Z"},
    {"StartOfTheNextMonth", 1719792000, "2024-07-01T00:00:00Z"},
    {"EndOfAYear", 1735689599, "2024-12-31T23:59:59Z"},
    {"StartOfTheNextYear", 1735689600, "2025-01-01T00:00:00Z"},
    {"LeapDay", 1709251199, "2024-02-29T23:59:59Z"},
    {"DayAfterTheLeapDay", 1709251200, "2024-03-01T00:00:00Z"},
    {"EndOfFebruaryInACommonYear", 1677628799, "2023-02-28T23:59:59Z"},
    {"MarchFirstInACommonYear", 1677628800, "2023-03-01T00:00:00Z"},
    {"LeapDayOfACenturyDivisibleBy400", 951782400, "2000-02-29T00:00:00Z"},
    {"CenturyYearWithoutLeapDay", 4107542400, "2100-03-01T00:00:00Z"},
    {"AfterThe32BitRollover", 2147483648, "2038-01-19T03:14:08Z"},
    {"SingleDigitsArePadded", 1104541384, "2005-01-01T01:03:04Z"},
};

class UtcTimeTextTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(UtcTimeTextTest, IsTheCalendarDateAndTimeInUtc) {
  EXPECT_EQ(UtcTimeText(At(GetParam().seconds_since_1970)), GetParam().text);
}

TEST_P(UtcTimeTextTest, IsTheSameUnderACommaLocale) {
  testing::CommaLocale comma;
  ASSERT_TRUE(comma.Active()) << "cannot set " << testing::CommaLocale::kNames[0]
                              << "; run scripts/ensure-packages.sh as root";
  EXPECT_EQ(UtcTimeText(At(GetParam().seconds_since_1970)), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Times, UtcTimeTextTest, ::testing::ValuesIn(kTimes),
                         [](const ::testing::TestParamInfo<TimeCase>& info) {
                           return info.param.label;
                         });

TEST(UtcTimeTextTest, DropsTheFractionOfASecondAlsoBeforeTheEpoch) {
  using std::chrono::milliseconds;
  EXPECT_EQ(UtcTimeText(At(1709251199) + milliseconds(999)), "2024-02-29T23:59:59Z");
  EXPECT_EQ(UtcTimeText(At(0) - milliseconds(1)), "1969-12-31T23:59:59Z");
  EXPECT_EQ(UtcTimeText(At(-86400) + milliseconds(500)), "1969-12-31T00:00:00Z");
}

TEST(UtcTimeTextTest, ReadsTheCalendarDateItWasBuiltFrom) {
  // Every day from 1 January 1999 to 31 December 2101, at 12:34:56, against a day-by-day count
  // of the civil calendar kept here.
  constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  long long day_number = 10592;  // 1999-01-01 is day 10592 after 1970-01-01
  for (int year = 1999; year <= 2101; ++year) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    for (int month = 1; month <= 12; ++month) {
      const int days = kDaysInMonth[month - 1] + (month == 2 && leap ? 1 : 0);
      for (int day = 1; day <= days; ++day, ++day_number) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%04d-%02d-%02dT12:34:56Z", year, month, day);
        ASSERT_EQ(UtcTimeText(At(day_number * 86400 + 45296)), expected);
      }
    }
  }
}

}  // namespace
}  // namespace quorvane
