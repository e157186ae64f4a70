#include "sources/xplane_packets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/sources/xplane_datagrams.h"

#include "tests/sources/verdict_printer.h"

namespace quorvane::sources {
namespace {

using testing::RposDatagram;
using testing::RrefDatagram;

TEST(XPlaneRequests, PositionRequestIsTheRateAsDigits) {
  const std::vector<std::uint8_t> request = RposRequest(10);
  EXPECT_EQ(std::string(request.begin(), request.end()), std::string("RPOS\0"
                                                                     "10\0",
                                                                     8));
  const std::vector<std::uint8_t> stop = RposRequest(0);
  EXPECT_EQ(std::string(stop.begin(), stop.end()), std::string("RPOS\0"
                                                               "0\0",
                                                               7));
}

TEST(XPlaneRequests, SubscriptionIs413BytesWithTheNamePadded) {
  const std::vector<std::uint8_t> request = RrefRequest(5, 3, "sim/flightmodel/position/mag_psi");
  ASSERT_EQ(request.size(), 413u);
  EXPECT_EQ(std::string(request.begin(), request.begin() + 5), std::string("RREF\0", 5));
  EXPECT_EQ(std::vector<std::uint8_t>(request.begin() + 5, request.begin() + 13),
            (std::vector<std::uint8_t>{5, 0, 0, 0, 3, 0, 0, 0}));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&request[13])),
            "sim/flightmodel/position/mag_psi");
  for (std::size_t i = 13 + 32; i < request.size(); ++i) {
    ASSERT_EQ(request[i], 0) << i;
  }
  // A name too long for the field keeps its terminating zero.
  const std::vector<std::uint8_t> long_name = RrefRequest(1, 1, std::string(500, 'x'));
  ASSERT_EQ(long_name.size(), 413u);
  EXPECT_EQ(long_name[411], 'x');
  EXPECT_EQ(long_name[412], 0);
}

TEST(XPlanePosition, KeepsTheDoublesOfThePosition) {
  const RposPacket packet =
      DecodeRpos(RposDatagram(21.31890412345, -157.93653887654, 914.9, 12.5f, 80.25f));
  ASSERT_EQ(packet.verdict, Verdict::Accepted);
  EXPECT_DOUBLE_EQ(packet.latitude, 21.31890412345);
  EXPECT_DOUBLE_EQ(packet.longitude, -157.93653887654);
  EXPECT_DOUBLE_EQ(packet.elevation, 914.9);
  EXPECT_DOUBLE_EQ(packet.height_above_ground, 12.5);
  EXPECT_DOUBLE_EQ(packet.true_heading, 80.25);
  // As documented (a NUL after the kind) and as sent (a '4').
  EXPECT_EQ(DecodeRpos(RposDatagram(1, 2, 3, 4, 5, '\0')).verdict, Verdict::Accepted);
}

struct BadPosition {
  const char* what;
  std::vector<std::uint8_t> datagram;
  Verdict verdict;
};

void PrintTo(const BadPosition& bad, std::ostream* out) {
  *out << bad.what;
}

std::vector<std::uint8_t> Resized(std::vector<std::uint8_t> bytes, std::size_t size) {
  bytes.resize(size, 0);
  return bytes;
}

class XPlanePositionRefused : public ::testing::TestWithParam<BadPosition> {};

TEST_P(XPlanePositionRefused, WithItsReason) {
  EXPECT_EQ(DecodeRpos(GetParam().datagram).verdict, GetParam().verdict) << GetParam().what;
}

const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Datagrams, XPlanePositionRefused,
    ::testing::Values(
        BadPosition{"empty", {}, Verdict::WrongHeader},
        BadPosition{"kind only", {'R', 'P', 'O', 'S'}, Verdict::Truncated},
        BadPosition{"68 bytes", Resized(RposDatagram(1, 2, 3, 4, 5), 68), Verdict::Truncated},
        BadPosition{"70 bytes", Resized(RposDatagram(1, 2, 3, 4, 5), 70), Verdict::Oversized},
        BadPosition{"another kind", RrefDatagram({{1, 2.0f}}), Verdict::WrongHeader},
        BadPosition{"a fifth byte of neither kind", RposDatagram(1, 2, 3, 4, 5, 'x'),
                    Verdict::WrongHeader},
        BadPosition{"latitude NaN", RposDatagram(kNan, 2, 3, 4, 5), Verdict::BadValue},
        BadPosition{"longitude infinite", RposDatagram(1, -kInf, 3, 4, 5), Verdict::BadValue},
        BadPosition{"elevation NaN", RposDatagram(1, 2, kNan, 4, 5), Verdict::BadValue},
        BadPosition{"height infinite", RposDatagram(1, 2, 3, static_cast<float>(kInf), 5),
                    Verdict::BadValue},
        BadPosition{"heading NaN", RposDatagram(1, 2, 3, 4, static_cast<float>(kNan)),
                    Verdict::BadValue},
        BadPosition{"latitude 90.5", RposDatagram(90.5, 2, 3, 4, 5), Verdict::BadValue},
        BadPosition{"longitude -180.5", RposDatagram(1, -180.5, 3, 4, 5), Verdict::BadValue},
        BadPosition{"heading 400", RposDatagram(1, 2, 3, 4, 400), Verdict::BadValue}));

TEST(XPlaneValues, ReturnsEveryPairAsSent) {
  const RrefPacket packet = DecodeRref(RrefDatagram({{1, 80.5f}, {977, -1.0f}, {3, 0.0f}}));
  ASSERT_EQ(packet.verdict, Verdict::Accepted);
  ASSERT_EQ(packet.values.size(), 3u);
  EXPECT_EQ(packet.values[1].index, 977);
  EXPECT_EQ(packet.values[1].value, -1.0f);
  EXPECT_EQ(packet.values[0].value, 80.5f);
  // NaN is passed on: usable or not is the subscriber's call.
  const RrefPacket nan = DecodeRref(RrefDatagram({{2, std::nanf("")}}));
  ASSERT_EQ(nan.verdict, Verdict::Accepted);
  EXPECT_TRUE(std::isnan(nan.values[0].value));
  // A NUL as the fifth byte, as for the other kinds.
  std::vector<std::uint8_t> nul = RrefDatagram({{1, 1.0f}});
  nul[4] = 0;
  EXPECT_EQ(DecodeRref(nul).verdict, Verdict::Accepted);
}

TEST(XPlaneValues, TakesUpTo183Pairs) {
  std::vector<std::pair<std::int32_t, float>> pairs(183, {1, 1.0f});
  EXPECT_EQ(DecodeRref(RrefDatagram(pairs)).values.size(), 183u);
  pairs.push_back({1, 1.0f});
  EXPECT_EQ(DecodeRref(RrefDatagram(pairs)).verdict, Verdict::Oversized);
}

TEST(XPlaneValues, RefusesPartialPairsAndOtherKinds) {
  std::vector<std::uint8_t> partial = RrefDatagram({{1, 1.0f}});
  partial.pop_back();
  EXPECT_EQ(DecodeRref(partial).verdict, Verdict::Truncated);
  EXPECT_EQ(DecodeRref(RrefDatagram({})).verdict, Verdict::Truncated);
  EXPECT_EQ(DecodeRref(std::vector<std::uint8_t>{'R', 'R', 'E', 'F'}).verdict, Verdict::Truncated);
  std::vector<std::uint8_t> odd = RrefDatagram({{1, 1.0f}});
  odd[4] = 'O';
  EXPECT_EQ(DecodeRref(odd).verdict, Verdict::WrongHeader);
  EXPECT_EQ(DecodeRref(RposDatagram(1, 2, 3, 4, 5)).verdict, Verdict::WrongHeader);
  EXPECT_EQ(DecodeRref(std::vector<std::uint8_t>{'R', 'R'}).verdict, Verdict::WrongHeader);
}

}  // namespace
}  // namespace quorvane::sources
