#include "sources/flightgear_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/sources/verdict_printer.h"

namespace quorvane::sources {
namespace {

TEST(FlightGearLine, TakesALineInMetresAndMetresPerSecond) {
  const FlightGearLine line =
      DecodeFlightGearLine("21.3189041,-157.9365388,3001.7,350.27,9.49,110.4\n");
  ASSERT_EQ(line.verdict, Verdict::Accepted);
  EXPECT_DOUBLE_EQ(line.reading.latitude, 21.3189041);
  EXPECT_DOUBLE_EQ(line.reading.longitude, -157.9365388);
  EXPECT_DOUBLE_EQ(line.reading.altitude, 3001.7 * 0.3048);
  EXPECT_DOUBLE_EQ(line.reading.true_heading, 350.27);
  EXPECT_DOUBLE_EQ(line.reading.magvar, 9.49);
  EXPECT_DOUBLE_EQ(line.reading.ground_speed, 110.4 * 1852.0 / 3600.0);
  EXPECT_EQ(line.version, "");
}

TEST(FlightGearLine, TakesTheVersionAndAnyLineEnd) {
  for (const char* text :
       {"1,2,3,4,5,6,2020.3.16\n", "1,2,3,4,5,6,2020.3.16\r\n", "1,2,3,4,5,6,2020.3.16"}) {
    const FlightGearLine line = DecodeFlightGearLine(text);
    ASSERT_EQ(line.verdict, Verdict::Accepted) << text;
    EXPECT_EQ(line.version, "2020.3.16");
  }
}

struct Refused {
  std::string text;
  Verdict verdict;
};

void PrintTo(const Refused& refused, std::ostream* out) {
  *out << ::testing::PrintToString(refused.text);
}

class FlightGearLineRefuses : public ::testing::TestWithParam<Refused> {};

TEST_P(FlightGearLineRefuses, WithItsReason) {
  EXPECT_EQ(DecodeFlightGearLine(GetParam().text).verdict, GetParam().verdict) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Datagrams, FlightGearLineRefuses,
    ::testing::Values(
        Refused{"", Verdict::Truncated}, Refused{"\n", Verdict::Truncated},
        Refused{"21.3,-157.9,3001.7,350.2,9.4\n", Verdict::Truncated},
        Refused{std::string(257, '1'), Verdict::Oversized},
        Refused{"1,2,3,4,5,6," + std::string(250, '9'), Verdict::Oversized},
        Refused{"1,2,3,4,5,6,7,8\n", Verdict::WrongHeader},
        Refused{"1,2,3,4,5,6\n1,2,3,4,5,6\n", Verdict::WrongHeader},
        Refused{"1,2,3\r4,5,6\n", Verdict::WrongHeader},
        Refused{"nan,2,3,4,5,6\n", Verdict::BadValue},
        Refused{"1,inf,3,4,5,6\n", Verdict::BadValue},
        Refused{"1,2,-infinity,4,5,6\n", Verdict::BadValue},
        Refused{"1,2,3,NaN,5,6\n", Verdict::BadValue},
        Refused{"90.0000001,2,3,4,5,6\n", Verdict::BadValue},
        Refused{"-90.5,2,3,4,5,6\n", Verdict::BadValue},
        Refused{"1,180.5,3,4,5,6\n", Verdict::BadValue},
        Refused{"1,-181,3,4,5,6\n", Verdict::BadValue},
        Refused{"1,2,1e7,4,5,6\n", Verdict::BadValue},
        Refused{"1,2,3,361,5,6\n", Verdict::BadValue},
        Refused{"1,2,3,4,-181,6\n", Verdict::BadValue},
        Refused{"1,2,3,4,5,-1\n", Verdict::BadValue}, Refused{"1,2,3,4,5,1e9\n", Verdict::BadValue},
        Refused{"1,2,3,4,5,6,\n", Verdict::BadValue},        // an empty version
        Refused{"1,2,3,4,5,6,2020 3\n", Verdict::BadValue},  // a blank in the version
        Refused{"1,2,3,4,5,6," + std::string(33, 'v') + "\n", Verdict::BadValue},
        Refused{"1,,3,4,5,6\n", Verdict::BadValue}, Refused{"1, 2,3,4,5,6\n", Verdict::BadValue},
        Refused{"+1,2,3,4,5,6\n", Verdict::BadValue}, Refused{"1;2;3;4;5;6\n", Verdict::Truncated},
        Refused{"1,2,3,4,5,0x10\n", Verdict::BadValue},
        Refused{std::string("1,2,3\0,4,5,6\n", 13), Verdict::BadValue}));

TEST(FlightGearLine, TakesEveryLineOfARealFlight) {
  std::ifstream recording(QUORVANE_FLIGHTGEAR_RECORDING);
  ASSERT_TRUE(recording) << QUORVANE_FLIGHTGEAR_RECORDING;
  int lines = 0;
  for (std::string text; std::getline(recording, text); ++lines) {
    EXPECT_EQ(DecodeFlightGearLine(text + "\n").verdict, Verdict::Accepted) << text;
  }
  EXPECT_EQ(lines, 300);
}

}  // namespace
}  // namespace quorvane::sources
