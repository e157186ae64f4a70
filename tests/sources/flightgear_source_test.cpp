#include "sources/flightgear_source.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane::sources {
namespace {

using namespace std::chrono_literals;

const net::Endpoint kFlightGear{net::kLoopbackAddress, 40001};
const SourceTime kStart{std::chrono::hours(1)};

void Send(FlightGearSource& source, const std::string& line, SourceTime at,
          const net::Endpoint& from = kFlightGear) {
  source.Receive(from, std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()),
                 false, at);
}

TEST(FlightGearSource, KeepsTheLatestLineWhileFlightGearSends) {
  FlightGearSource source(SenderFilter{});
  EXPECT_FALSE(source.Current(kStart).has_value());
  EXPECT_EQ(source.Description(), "FlightGear");
  Send(source, "21.3189041,-157.9365388,3001.7,350.27,9.49,110.4\n", kStart);
  Send(source, "21.3190051,-157.9365577,3001.7,350.25,9.49,110.4,2020.3.16\n", kStart + 200ms);
  const auto reading = source.Current(kStart + 200ms);
  ASSERT_TRUE(reading.has_value());
  EXPECT_DOUBLE_EQ(reading->latitude, 21.3190051);
  EXPECT_EQ(source.Description(), "FlightGear 2020.3.16");

  EXPECT_TRUE(source.Current(kStart + 3200ms).has_value());
  EXPECT_FALSE(source.Current(kStart + 3201ms).has_value()) << "FlightGear stopped sending";
  Send(source, "21.4,-157.9,3001.7,350.25,9.49,110.4\n", kStart + 9000ms);
  ASSERT_TRUE(source.Current(kStart + 9000ms).has_value()) << "and resumed";
  EXPECT_DOUBLE_EQ(source.Current(kStart + 9000ms)->latitude, 21.4);
  EXPECT_EQ(source.Description(), "FlightGear 2020.3.16") << "a line without the version";
}

TEST(FlightGearSource, IgnoresAndCountsOtherSendersAndBadLines) {
  FlightGearSource source(SenderFilter{0x0A000007});  // 10.0.0.7
  const net::Endpoint flightgear{0x0A000007, 5000};
  Send(source, "1,2,3,4,5,6\n", kStart, flightgear);
  Send(source, "50,14,3,4,5,6\n", kStart, kFlightGear);  // this computer is not 10.0.0.7
  Send(source, "1,2,3\n", kStart, flightgear);
  Send(source, "nan,2,3,4,5,6\n", kStart, flightgear);
  Send(source, std::string(300, '1'), kStart, flightgear);
  Send(source, "1,2,3,4,5,6,7,8\n", kStart, flightgear);
  source.Receive(flightgear, std::span<const std::uint8_t>(), true, kStart);  // cut by the buffer

  const DatagramCounts& counts = source.Counts();
  EXPECT_EQ(counts.accepted, 1u);
  EXPECT_EQ(counts.wrong_sender, 1u);
  EXPECT_EQ(counts.truncated, 1u);
  EXPECT_EQ(counts.bad_value, 1u);
  EXPECT_EQ(counts.oversized, 2u);
  EXPECT_EQ(counts.wrong_header, 1u);
  EXPECT_EQ(counts.Received(), 7u);
  ASSERT_TRUE(source.Current(kStart).has_value());
  EXPECT_DOUBLE_EQ(source.Current(kStart)->latitude, 1.0);
}

}  // namespace
}  // namespace quorvane::sources
