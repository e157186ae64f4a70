#include "text/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace quorvane {
namespace {

TEST(FormatFixed, MatchesPrintfFieldsUnderTheCLocale) {
  struct Case {
    double value;
    int width;
    int decimals;
  };
  for (const Case& c :
       {Case{14.5, 10, 6}, Case{-0.25, 10, 6}, Case{-122.41942, 10, 6}, Case{359.7, 7, 0},
        Case{0.4, 7, 0}, Case{0.5, 7, 0}, Case{2.5, 7, 0}, Case{5.0, 7, 2}, Case{-0.0, 10, 6},
        Case{1e300, 10, 6}, Case{-1e-7, 10, 6}, Case{123456789.123, 7, 2}}) {
    char expected[512];
    std::snprintf(expected, sizeof expected, "%*.*f", c.width, c.decimals, c.value);
    EXPECT_EQ(FormatFixed(c.value, c.width, c.decimals), expected) << c.value;
  }
}

TEST(FormatFixed, IgnoresACommaLocale) {
  // The comma locale by its POSIX name, or by the names the Windows C runtime knows.
  const char* locale = nullptr;
  for (const char* name : {"de_DE.UTF-8", "German_Germany.1252", "de-DE", "deu"}) {
    if ((locale = std::setlocale(LC_NUMERIC, name)) != nullptr) {
      break;
    }
  }
  ASSERT_NE(locale, nullptr)
      << "a German locale is needed (scripts/ensure-packages.sh generates de_DE.UTF-8)";
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  ASSERT_STREQ(probe, "1,5") << "the locale is in force";
  EXPECT_EQ(FormatFixed(14.5, 10, 6), " 14.500000");
  EXPECT_EQ(FormatFixed(359.7, 7, 0), "    360");
  std::setlocale(LC_NUMERIC, "C");
}

TEST(TrimBlanks, RemovesBlanksAtBothEndsOnly) {
  EXPECT_EQ(TrimBlanks("  14.500000 "), "14.500000");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimBlanks("\t1 2\t"), "\t1 2\t");
}

TEST(ParseWhole, TakesTheWholeTextOrNothing) {
  struct Case {
    const char* text;
    std::optional<int> value;
  };
  for (const Case& c :
       {Case{"60", 60}, Case{"-5", -5}, Case{"0", 0}, Case{"007", 7},
        Case{"2147483647", 2147483647}, Case{"", std::nullopt}, Case{"+5", std::nullopt},
        Case{" 5", std::nullopt}, Case{"5 ", std::nullopt}, Case{"12abc", std::nullopt},
        Case{"0x10", std::nullopt}, Case{"--5", std::nullopt}, Case{"-", std::nullopt},
        Case{"2147483648", std::nullopt}, Case{"99999999999", std::nullopt},
        Case{"5.0", std::nullopt}}) {
    EXPECT_EQ(ParseWhole<int>(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(ParseWhole, ReadsOtherBasesAndUnsignedTypesWithoutASign) {
  EXPECT_EQ(ParseWhole<std::uint32_t>("FADE0008", 16), 0xFADE0008u);
  EXPECT_EQ(ParseWhole<std::uint32_t>("fade0008", 16), 0xFADE0008u);
  EXPECT_EQ(ParseWhole<std::uint32_t>("100000000", 16), std::nullopt) << "beyond 32 bits";
  EXPECT_EQ(ParseWhole<std::uint32_t>("0x10", 16), std::nullopt);
  EXPECT_EQ(ParseWhole<unsigned>("-1"), std::nullopt);
  EXPECT_EQ(ParseWhole<std::uint64_t>("18446744073709551615"),
            std::numeric_limits<std::uint64_t>::max());
}

TEST(ParseWhole, ReadsDecimalFractionsWithAPointWhateverTheLocale) {
  EXPECT_EQ(ParseWhole<double>("60.5"), 60.5);
  EXPECT_EQ(ParseWhole<double>("-157.9365388"), -157.9365388);
  EXPECT_EQ(ParseWhole<double>("1e3"), 1000.0);
  for (const char* text : {"60,5", "", " 1", "1 ", "+1", "1.2.3", "abc"}) {
    EXPECT_EQ(ParseWhole<double>(text), std::nullopt) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace quorvane
