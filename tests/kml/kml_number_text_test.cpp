// Number texts of the KML documents, under the "C" locale and under one that writes "," as the
// decimal separator.

#include "kml/kml_number_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/kml/comma_locale.h"

namespace quorvane {
namespace {

struct NumberCase {
  double value;
  std::string text;

  friend void PrintTo(const NumberCase& c, std::ostream* out) {
    *out << c.value << " -> \"" << c.text << '"';
  }
};

const NumberCase kCoordinates[] = {
    {14.5, "14.500000"},          // padded to ten characters, then trimmed
    {-0.25, "-0.250000"},         // a leading minus
    {-122.41942, "-122.419420"},  // wider than the field: written whole
    {50.1, "50.100000"},          {14.25, "14.250000"},        {0.0, "0.000000"},
    {-0.5, "-0.500000"},          {179.9999995, "180.000000"},  // rounded to six decimals
    {-89.12345649, "-89.123456"},
};

const NumberCase kHeadings[] = {
    {245.4, "245"}, {359.7, "360"},  // rounds up to 360, not to 0
    {0.4, "0"},     {0.0, "0"},     {360.0, "360"},
    {5.0, "5"},     {0.5, "0"},  // halves go to the even neighbour, as printf does
    {2.5, "2"},
};

const NumberCase kAltitudes[] = {
    {380.0, "380.0"},     {-430.0, "-430.0"},                      // the Dead Sea's shore
    {15240.0, "15240.0"},                                          // 50,000 ft
    {914.5, "914.5"},     {0.04, "0.0"},          {-0.04, "0.0"},  // never "-0.0"
    {-0.06, "-0.1"},      {100000.0, "100000.0"},
};

// A test name from the expected text: "-0.250000" gives "minus0_250000".
std::string CaseName(const ::testing::TestParamInfo<NumberCase>& info) {
  std::string name;
  for (const char c : info.param.text) {
    name += c == '-' ? std::string("minus") : c == '.' ? std::string("_") : std::string(1, c);
  }
  return name + "_" + std::to_string(info.index);
}

class CoordinateTextTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(CoordinateTextTest, HasSixDecimalsAndNoBlanks) {
  EXPECT_EQ(CoordinateText(GetParam().value), GetParam().text);
}

TEST_P(CoordinateTextTest, UsesAPointUnderACommaLocale) {
  testing::CommaLocale comma;
  ASSERT_TRUE(comma.Active()) << "cannot set " << testing::CommaLocale::kNames[0]
                              << "; run scripts/ensure-packages.sh as root";
  EXPECT_EQ(CoordinateText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Degrees, CoordinateTextTest, ::testing::ValuesIn(kCoordinates), CaseName);

class HeadingTextTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(HeadingTextTest, IsRoundedToWholeDegreesWithoutBlanks) {
  EXPECT_EQ(HeadingText(GetParam().value), GetParam().text);
}

TEST_P(HeadingTextTest, IsTheSameUnderACommaLocale) {
  testing::CommaLocale comma;
  ASSERT_TRUE(comma.Active()) << "cannot set " << testing::CommaLocale::kNames[0]
                              << "; run scripts/ensure-packages.sh as root";
  EXPECT_EQ(HeadingText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Degrees, HeadingTextTest, ::testing::ValuesIn(kHeadings), CaseName);

class AltitudeTextTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(AltitudeTextTest, HasOneDecimalAndNoBlanksWhateverTheLocale) {
  EXPECT_EQ(AltitudeText(GetParam().value), GetParam().text);
  testing::CommaLocale comma;
  ASSERT_TRUE(comma.Active()) << "cannot set " << testing::CommaLocale::kNames[0];
  EXPECT_EQ(AltitudeText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Metres, AltitudeTextTest, ::testing::ValuesIn(kAltitudes), CaseName);

}  // namespace
}  // namespace quorvane
