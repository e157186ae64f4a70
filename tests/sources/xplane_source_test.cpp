#include "sources/xplane_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "sources/xplane_packets.h"
#include "tests/sources/xplane_datagrams.h"

namespace quorvane::sources {
namespace {

using namespace std::chrono_literals;
using testing::RposDatagram;
using testing::RrefDatagram;

const net::Endpoint kXPlane{0x0A000005, 49000};  // 10.0.0.5
const net::Endpoint kElsewhere{0x0A000009, 49000};
const SourceTime kStart{std::chrono::hours(1)};

// What a request asks for: "RPOS 10", "RREF 5 2 sim/flightmodel/position/mag_psi".
std::string Describe(const std::vector<std::uint8_t>& request) {
  const std::string kind(request.begin(), request.begin() + 4);
  if (kind == "RPOS") {
    return "RPOS " + std::string(reinterpret_cast<const char*>(&request[5]));
  }
  auto i32 = [&](std::size_t at) {
    return std::to_string(request[at] | request[at + 1] << 8 | request[at + 2] << 16 |
                          request[at + 3] << 24);
  };
  return "RREF " + i32(5) + " " + i32(9) + " " +
         std::string(reinterpret_cast<const char*>(&request[13]));
}

std::vector<std::string> Describe(const std::vector<OutgoingDatagram>& datagrams) {
  std::vector<std::string> texts;
  for (const OutgoingDatagram& datagram : datagrams) {
    EXPECT_EQ(datagram.to, kXPlane);
    texts.push_back(Describe(datagram.bytes));
  }
  return texts;
}

// An X-Plane answering everything at `at`: position, both headings, speed, version.
void Answer(XPlaneSource& source, SourceTime at, float true_psi = 90.0f, float mag_psi = 80.0f) {
  source.Receive(kXPlane, RposDatagram(50.0875, 14.421, 400.0, 20.0f, true_psi), false, at);
  source.Receive(kXPlane,
                 RrefDatagram({{XPlaneSource::kVersionIndex, 121004.0f},
                               {XPlaneSource::kTrueHeadingIndex, true_psi},
                               {XPlaneSource::kMagneticHeadingIndex, mag_psi},
                               {XPlaneSource::kGroundSpeedIndex, 100.0f}}),
                 false, at);
}

TEST(XPlaneSource, SubscribesInBatchesOfTwoAPauseApart) {
  XPlaneSource source(kXPlane);
  SendSchedule first = source.Due(kStart);
  EXPECT_EQ(Describe(first.datagrams),
            (std::vector<std::string>{"RPOS 10", "RREF 5 4 sim/version/xplane_internal_version"}));
  ASSERT_TRUE(first.next.has_value());
  EXPECT_EQ(*first.next, kStart + 50ms);
  EXPECT_TRUE(source.Due(kStart + 49ms).datagrams.empty());
  EXPECT_EQ(Describe(source.Due(kStart + 50ms).datagrams),
            (std::vector<std::string>{"RREF 5 1 sim/flightmodel/position/true_psi",
                                      "RREF 5 2 sim/flightmodel/position/mag_psi"}));
  const SendSchedule last = source.Due(kStart + 100ms);
  EXPECT_EQ(Describe(last.datagrams),
            (std::vector<std::string>{"RREF 5 3 sim/flightmodel/position/groundspeed"}));
  // Nothing more until the round may be repeated.
  EXPECT_EQ(last.next, kStart + 2000ms);
  EXPECT_TRUE(source.Due(kStart + 1999ms).datagrams.empty());
}

TEST(XPlaneSource, SubscribesAgainWhileXPlaneIsQuietButNotWhileItSends) {
  XPlaneSource source(kXPlane);
  for (auto at : {0ms, 50ms, 100ms}) {
    source.Due(kStart + at);
  }
  // No X-Plane yet: a new round every two seconds.
  EXPECT_EQ(source.Due(kStart + 2000ms).datagrams.size(), 2u);
  source.Due(kStart + 2050ms);
  source.Due(kStart + 2100ms);
  // X-Plane answers; while it keeps sending, nothing is sent again, and the next look is when
  // it would have been quiet too long (not at once: the source's thread would spin).
  for (auto at = 2200ms; at <= 6000ms; at += 200ms) {
    Answer(source, kStart + at);
    const SendSchedule schedule = source.Due(kStart + at);
    EXPECT_TRUE(schedule.datagrams.empty()) << at.count();
    EXPECT_EQ(schedule.next, kStart + at + 2001ms) << at.count();
  }
  // Restarted, it knows no subscriptions and falls quiet: after two seconds, a new round.
  EXPECT_TRUE(source.Due(kStart + 8000ms).datagrams.empty());
  const SendSchedule again = source.Due(kStart + 8001ms);
  EXPECT_EQ(Describe(again.datagrams).front(), "RPOS 10");
}

TEST(XPlaneSource, ReadingNeedsPositionHeadingsAndSpeedAndEndsWhenXPlaneFallsSilent) {
  XPlaneSource source(kXPlane);
  source.Receive(kXPlane, RposDatagram(50.0875, 14.421, 400.0, 20.0f, 90.0f), false, kStart);
  EXPECT_FALSE(source.Current(kStart).has_value()) << "no variation, no speed yet";
  source.Receive(kXPlane,
                 RrefDatagram({{XPlaneSource::kTrueHeadingIndex, 90.0f},
                               {XPlaneSource::kMagneticHeadingIndex, 80.0f}}),
                 false, kStart);
  EXPECT_FALSE(source.Current(kStart).has_value()) << "no speed yet";
  source.Receive(kXPlane, RrefDatagram({{XPlaneSource::kGroundSpeedIndex, 70.0f}}), false,
                 kStart + 100ms);
  const auto reading = source.Current(kStart + 100ms);
  ASSERT_TRUE(reading.has_value());
  EXPECT_DOUBLE_EQ(reading->latitude, 50.0875);
  EXPECT_DOUBLE_EQ(reading->longitude, 14.421);
  EXPECT_DOUBLE_EQ(reading->altitude, 400.0);
  EXPECT_DOUBLE_EQ(*reading->ground_altitude, 380.0);
  EXPECT_DOUBLE_EQ(reading->true_heading, 90.0);
  EXPECT_DOUBLE_EQ(reading->magvar, 10.0);
  EXPECT_DOUBLE_EQ(reading->ground_speed, 70.0);
  EXPECT_EQ(source.Description(), "X-Plane");

  EXPECT_TRUE(source.Current(kStart + 3000ms).has_value());
  EXPECT_FALSE(source.Current(kStart + 3001ms).has_value()) << "the position is too old";
  Answer(source, kStart + 5000ms);
  EXPECT_TRUE(source.Current(kStart + 5000ms).has_value()) << "resumed";
  EXPECT_EQ(source.Description(), "X-Plane 12.1.0");
}

TEST(XPlaneSource, VariationIsTrueLessMagneticHeadingAcrossNorth) {
  struct Case {
    float true_psi, mag_psi;
    double east;
  };
  for (const Case& c : {Case{5.0f, 355.0f, 10.0}, Case{355.0f, 5.0f, -10.0},
                        Case{180.0f, 190.5f, -10.5}, Case{0.0f, 0.0f, 0.0}}) {
    XPlaneSource source(kXPlane);
    Answer(source, kStart, c.true_psi, c.mag_psi);
    const auto reading = source.Current(kStart);
    ASSERT_TRUE(reading.has_value());
    EXPECT_NEAR(reading->magvar, c.east, 1e-5) << c.true_psi << " " << c.mag_psi;
  }
}

TEST(XPlaneSource, IgnoresAndCountsWhatItCannotUse) {
  XPlaneSource source(kXPlane);
  Answer(source, kStart);
  const auto before = source.Current(kStart);
  ASSERT_TRUE(before.has_value());

  source.Receive(kElsewhere, RposDatagram(1, 2, 3, 4, 5), false, kStart);
  source.Receive(kXPlane, RposDatagram(std::nan(""), 2, 3, 4, 5), false, kStart);
  source.Receive(kXPlane, std::vector<std::uint8_t>(10, 'R'), false, kStart);
  source.Receive(kXPlane, RposDatagram(1, 2, 3, 4, 5), true, kStart);  // cut by the buffer
  source.Receive(kXPlane, RrefDatagram({{977, 1.0f}, {978, 2.0f}}), false, kStart);
  source.Receive(kXPlane, RrefDatagram({{XPlaneSource::kGroundSpeedIndex, std::nanf("")}}), false,
                 kStart);
  source.Receive(kXPlane,
                 RrefDatagram({{XPlaneSource::kGroundSpeedIndex, -5.0f},
                               {XPlaneSource::kTrueHeadingIndex, 1e9f},
                               {XPlaneSource::kVersionIndex, 12.5f}}),
                 false, kStart);
  // One usable value makes the datagram count as taken; the others are left out.
  source.Receive(kXPlane, RrefDatagram({{999, 1.0f}, {XPlaneSource::kGroundSpeedIndex, 100.0f}}),
                 false, kStart);

  const DatagramCounts& counts = source.Counts();
  EXPECT_EQ(counts.wrong_sender, 1u);
  EXPECT_EQ(counts.bad_value, 3u);
  EXPECT_EQ(counts.wrong_header, 1u);
  EXPECT_EQ(counts.oversized, 1u);
  EXPECT_EQ(counts.unknown_index, 1u);
  EXPECT_EQ(counts.accepted, 3u);
  EXPECT_EQ(counts.ignored_values, 7u);
  EXPECT_EQ(counts.Received(), 10u);

  const auto after = source.Current(kStart);
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(after->latitude, before->latitude);
  EXPECT_EQ(after->ground_speed, before->ground_speed);
  EXPECT_EQ(source.Description(), "X-Plane 12.1.0");
}

TEST(XPlaneSource, FarewellEndsEverySubscriptionMade) {
  XPlaneSource quiet(kXPlane);
  EXPECT_TRUE(quiet.Farewell().empty()) << "nothing was asked for";

  XPlaneSource source(kXPlane);
  source.Due(kStart);
  EXPECT_EQ(Describe(source.Farewell()),
            (std::vector<std::string>{"RPOS 0", "RREF 0 4 sim/version/xplane_internal_version",
                                      "RREF 0 1 sim/flightmodel/position/true_psi",
                                      "RREF 0 2 sim/flightmodel/position/mag_psi",
                                      "RREF 0 3 sim/flightmodel/position/groundspeed"}));
  // Started again, it subscribes afresh.
  EXPECT_EQ(source.Due(kStart + 10ms).datagrams.size(), 2u);
}

TEST(XPlaneVersionText, FromTheInternalNumber) {
  EXPECT_EQ(XPlaneVersionText(121004), "12.1.0");
  EXPECT_EQ(XPlaneVersionText(120900), "12.0.9");
  EXPECT_EQ(XPlaneVersionText(115500), "11.55");
  EXPECT_EQ(XPlaneVersionText(110501), "11.05");
  EXPECT_EQ(XPlaneVersionText(99999), "");
  EXPECT_EQ(XPlaneVersionText(1000000), "");
  EXPECT_EQ(XPlaneVersionText(0), "");
  EXPECT_EQ(XPlaneVersionText(-121004), "");
}

}  // namespace
}  // namespace quorvane::sources
