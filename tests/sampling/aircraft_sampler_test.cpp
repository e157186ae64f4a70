#include "sampling/aircraft_sampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "simulator/aircraft_state.h"
#include "tests/support/fake_link_services.h"

namespace quorvane {
namespace {

using testing::FakeLinkServices;
using testing::SendOutcome;

class SamplerTest : public ::testing::Test {
 protected:
  void SetUp() override { services.PutServerWords(); }

  void OpenLink() {
    LinkResult result{};
    ASSERT_TRUE(link.Open(0, result));
    services.sent_blocks.clear();
  }

  std::optional<AircraftFix> Sample() {
    return sampler.SampleAircraft([this](const std::string& text) { panel.push_back(text); });
  }

  FakeLinkServices services;
  FsuipcLink link{services};
  AircraftSampler sampler{link};
  std::vector<std::string> panel;  // every text the sampler showed, in order
};

// The six reads every server has always answered, then the altitude.
TEST_F(SamplerTest, SuccessfulSampleMakesSevenSingleReadExchanges) {
  OpenLink();
  ASSERT_TRUE(Sample());
  std::vector<std::size_t> sizes;
  for (const auto& block : services.sent_blocks) {
    sizes.push_back(block.size());
  }
  EXPECT_EQ(sizes, (std::vector<std::size_t>{24, 22, 28, 28, 24, 24, 28}));
  const std::uint32_t offsets[] = {0x0020, 0x02A0, 0x0560, 0x0568, 0x0580, 0x02B4, 0x0570};
  ASSERT_EQ(sizes.size(), std::size(offsets));
  for (std::size_t i = 0; i < std::size(offsets); ++i) {
    EXPECT_EQ(services.sent_blocks[i][4] | services.sent_blocks[i][5] << 8, offsets[i]);
  }
}

// The values as FSUIPC keeps them; the heading, 5 degrees true (59652324 in FSUIPC's unit),
// reads 0.2 % low through the client's divisor of 11956290, as from the real FSUIPC.
TEST_F(SamplerTest, FixAndSummaryLineComeFromTheRawValues) {
  sim::StoreAircraft({50.0875, 14.421, 5.0, 0.0, 0.0, 300.0, 914.5}, services.space);
  OpenLink();
  const auto fix = Sample();
  ASSERT_TRUE(fix);
  EXPECT_DOUBLE_EQ(fix->AltitudeMetres, 914.5);
  EXPECT_NEAR(fix->Latitude, 50.0875, 1e-9);
  EXPECT_NEAR(fix->Longitude, 14.421, 1e-9);
  EXPECT_NEAR(fix->Heading, 59652324 / 11956290.0, 1e-9);
  EXPECT_FALSE(fix->Moving);
  EXPECT_EQ(panel, std::vector<std::string>{"Lat: 50.087500   Lon: 14.421000   H:    4.99"});
}

TEST_F(SamplerTest, HeadingUsesTheVariationReadInTheSameSample) {
  services.space.Put(0x02A0, 2, 61440);        // -22.5 degrees
  services.space.Put(0x0580, 4, 4184701500u);  // 350 degrees before correction
  services.space.Put(0x02B4, 4, 3932161);
  services.space.Put(0x0560, 8, static_cast<std::uint64_t>(-42957189152768000LL));
  services.space.Put(0x0568, 8, 0x8000000000000000ULL);
  OpenLink();
  const auto fix = Sample();
  ASSERT_TRUE(fix);
  EXPECT_NEAR(fix->Heading, 12.5, 1e-9);
  EXPECT_TRUE(fix->Moving);
  EXPECT_NEAR(fix->GroundSpeedKnots, 60.0 * 3600 / 1852, 1e-3);
  EXPECT_EQ(panel.back(), "Lat: -90.000000   Lon: -180.000000   H:   12.50");
}

TEST_F(SamplerTest, ClosedLinkShowsReadingFailureAndGivesNoFix) {
  EXPECT_FALSE(Sample());
  EXPECT_EQ(panel, std::vector<std::string>{"Reading: Call cannot execute, link not Open"});
}

// A failed read ends the sample: against a hung server each further read would wait out its own
// ten time-outs (six reads took two minutes) for a tick that yields no fix anyway.
TEST_F(SamplerTest, SampleStopsAtItsFirstFailedExchange) {
  struct Case {
    int failing_exchange;
    SendOutcome outcome;
    const char* shown;
  };
  for (const Case& c : {Case{1, {false, 0, 1400}, "Processing: IPC sendmessage failed all retries"},
                        Case{3, {false, 0, 0}, "Processing: IPC timed out all retries"},
                        Case{6, {true, 0, 0}, "Processing: IPC request contains bad data"},
                        Case{7, {false, 0, 0}, "Processing: IPC timed out all retries"}}) {
    SCOPED_TRACE(c.failing_exchange);
    FakeLinkServices server;
    server.PutServerWords();
    FsuipcLink own_link{server};
    LinkResult result{};
    ASSERT_TRUE(own_link.Open(0, result));
    server.sent_blocks.clear();
    // Which of the seven reads a block carries, counted from 1, by its offset.
    const std::vector<std::uint32_t> offsets = {0x0020, 0x02A0, 0x0560, 0x0568,
                                                0x0580, 0x02B4, 0x0570};
    int exchange = 0;
    server.on_send = [&](std::uint8_t* block) {
      const std::uint32_t offset = block[4] | block[5] << 8;
      exchange =
          static_cast<int>(std::find(offsets.begin(), offsets.end(), offset) - offsets.begin()) + 1;
      return exchange == c.failing_exchange ? c.outcome : server.Serve(block);
    };
    std::vector<std::string> shown;
    AircraftSampler own_sampler{own_link};
    EXPECT_FALSE(
        own_sampler.SampleAircraft([&](const std::string& text) { shown.push_back(text); }));
    EXPECT_EQ(shown, std::vector<std::string>{c.shown});
    EXPECT_EQ(exchange, c.failing_exchange) << "no read after the failed one";
  }
}

// A position that is no place on the Earth never becomes a fix, whatever the other values.
TEST_F(SamplerTest, PositionOffTheGlobeGivesNoFix) {
  struct Case {
    std::int64_t raw_latitude;
    const char* shown;
  };
  for (const Case& c :
       {Case{INT64_MAX,
             "Reading: Position is not on the globe (Lat: 19323.971137   Lon: 14.250000)"},
        Case{INT64_MIN,
             "Reading: Position is not on the globe (Lat: -19323.971137   Lon: 14.250000)"},
        Case{42957189152768000LL + 477302102,
             "Reading: Position is not on the globe "
             "(Lat: 90.000001   Lon: 14.250000)"}}) {
    SCOPED_TRACE(c.raw_latitude);
    sim::StoreAircraft({50.1, 14.25, 90.0, 0.0, 0.0, 300.0}, services.space);
    services.space.Put(0x0560, 8, static_cast<std::uint64_t>(c.raw_latitude));
    OpenLink();
    panel.clear();
    EXPECT_FALSE(Sample());
    EXPECT_EQ(panel, std::vector<std::string>{c.shown});
    link.Close();
  }
}

// An altitude no aircraft can be at never becomes a fix; the lowest and highest possible do.
TEST_F(SamplerTest, ImpossibleAltitudeGivesNoFix) {
  struct Case {
    std::int64_t raw_altitude;
    const char* shown;  // nullptr: a fix, with its summary line
  };
  constexpr std::int64_t kMetre = std::int64_t{1} << 32;
  for (const Case& c :
       {Case{INT64_MIN, "Reading: Altitude is out of range (Alt: -2147483648.0 m)"},
        Case{INT64_MAX, "Reading: Altitude is out of range (Alt: 2147483648.0 m)"},
        Case{-1001 * kMetre, "Reading: Altitude is out of range (Alt: -1001.0 m)"},
        Case{100000 * kMetre + 1, "Reading: Altitude is out of range (Alt: 100000.0 m)"},
        Case{-1000 * kMetre, nullptr}, Case{100000 * kMetre, nullptr},
        Case{-430 * kMetre, nullptr}}) {
    SCOPED_TRACE(c.raw_altitude);
    sim::StoreAircraft({50.1, 14.25, 90.0, 0.0, 0.0, 300.0}, services.space);
    services.space.Put(0x0570, 8, static_cast<std::uint64_t>(c.raw_altitude));
    OpenLink();
    panel.clear();
    const auto fix = Sample();
    if (c.shown == nullptr) {
      ASSERT_TRUE(fix);
      EXPECT_DOUBLE_EQ(fix->AltitudeMetres, static_cast<double>(c.raw_altitude / kMetre));
      EXPECT_EQ(panel, std::vector<std::string>{SummaryLine(*fix)});
    } else {
      EXPECT_FALSE(fix);
      EXPECT_EQ(panel, std::vector<std::string>{c.shown});
    }
    link.Close();
  }
}

TEST_F(SamplerTest, PolesAndTheDateLineAreOnTheGlobe) {
  for (const std::int64_t raw : {42957189152768000LL, -42957189152768000LL}) {
    services.space.Put(0x0560, 8, static_cast<std::uint64_t>(raw));
    services.space.Put(0x0568, 8, 0x8000000000000000ULL);  // -180 degrees
    OpenLink();
    EXPECT_TRUE(Sample()) << raw;
    link.Close();
  }
}

TEST_F(SamplerTest, StaleHoldersNeverReachAFix) {
  sim::StoreAircraft({10.0, 20.0, 30.0, 0.0, 100.0, 0.0}, services.space);
  OpenLink();
  ASSERT_TRUE(Sample());
  sim::StoreAircraft({11.0, 21.0, 31.0, 0.0, 100.0, 0.0}, services.space);
  int exchange = 0;
  services.on_send = [&](std::uint8_t* block) {
    ++exchange;
    // The latitude read (third exchange) is answered with bad data.
    if (exchange == 3) {
      services.Serve(block);
      return SendOutcome{true, 0, 0};
    }
    return services.Serve(block);
  };
  EXPECT_FALSE(Sample());
  EXPECT_EQ(panel.back(), "Processing: IPC request contains bad data");
  services.on_send = [this](std::uint8_t* block) { return services.Serve(block); };
  const auto fix = Sample();
  ASSERT_TRUE(fix);
  EXPECT_NEAR(fix->Latitude, 11.0, 1e-9);
}

TEST(SummaryLine, NumbersArePaddedAndTrimmedAsShown) {
  EXPECT_EQ(SummaryLine({50.0875, 14.421, 5.0, false}),
            "Lat: 50.087500   Lon: 14.421000   H:    5.00");
  EXPECT_EQ(SummaryLine({-0.25, -122.41942, 359.999, true}),
            "Lat: -0.250000   Lon: -122.419420   H:  360.00");
  EXPECT_EQ(SummaryLine({0.0000004, 0.0, 0.0, false}),
            "Lat: 0.000000   Lon: 0.000000   H:    0.00");
}

}  // namespace
}  // namespace quorvane
