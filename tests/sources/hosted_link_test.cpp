// The link and the sampler, unchanged, over a simulator hosted in this process.

#include "sources/hosted_link_services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "link/fsuipc_link.h"
#include "sampling/aircraft_sampler.h"
#include "tests/support/fake_link_services.h"

namespace quorvane::sources {
namespace {

// A simulator whose latest reading the test sets; none while it is silent.
struct FakeProvider final : ReadingProvider {
  std::optional<SourceReading> reading;
  std::optional<SourceReading> Current() const override { return reading; }
};

SourceReading Aircraft(double latitude, double longitude, double heading, double magvar,
                       double speed = 0.0) {
  SourceReading reading;
  reading.latitude = latitude;
  reading.longitude = longitude;
  reading.true_heading = heading;
  reading.magvar = magvar;
  reading.ground_speed = speed;
  return reading;
}

class HostedLink : public ::testing::Test {
 protected:
  std::string Sample() {
    std::string panel;
    sampler_.SampleAircraft([&panel](const std::string& text) { panel = text; });
    return panel;
  }
  template <typename T>
  T Read(std::uint32_t offset) {
    T value{};
    LinkResult result{};
    EXPECT_TRUE(link_.QueueRead(offset, sizeof value, &value, result));
    EXPECT_TRUE(link_.Process(result)) << LinkResultMessage(result);
    return value;
  }

  FakeProvider provider_;
  HostedLinkServices services_{provider_};
  FsuipcLink link_{services_};
  AircraftSampler sampler_{link_};
};

TEST_F(HostedLink, OpensAndSamplesAsOnFsuipcWithTheHeadingInFsuipcUnits) {
  provider_.reading = Aircraft(50.0875, 14.421, 90.0, 10.0);
  LinkResult result{};
  ASSERT_TRUE(link_.Open(0, result)) << LinkResultMessage(result);
  EXPECT_EQ(link_.ServerVersion(), 0x19980005u);
  EXPECT_EQ(link_.SimulatorVersion(), 0u);
  // 90 degrees true is 2^30 in FSUIPC's unit, which the sampler divides by 11956290 (89.81),
  // less the variation: what the real FSUIPC would show for this aircraft.
  EXPECT_EQ(Sample(), "Lat: 50.087500   Lon: 14.421000   H:   79.81");
  provider_.reading = Aircraft(21.3189041, -157.9365388, 350.27, 9.49);
  EXPECT_EQ(Sample(), "Lat: 21.318904   Lon: -157.936539   H:  340.02");
}

TEST_F(HostedLink, StoresEveryValueInFsuipcUnits) {
  SourceReading reading = Aircraft(-33.9461, 151.1772, 90.0, -12.5, 100.0);
  reading.altitude = 914.25;
  reading.ground_altitude = 6.0;
  provider_.reading = reading;
  LinkResult result{};
  ASSERT_TRUE(link_.Open(0, result));

  // Degrees * 10001750 * 2^32 / 90 and degrees * 2^64 / 360: a millionth of a degree is far
  // above their resolution.
  EXPECT_NEAR(Read<std::int64_t>(0x0560) / (10001750.0 * 4294967296.0 / 90.0), -33.9461, 1e-9);
  EXPECT_NEAR(Read<std::int64_t>(0x0568) / (18446744073709551616.0 / 360.0), 151.1772, 1e-9);
  EXPECT_EQ(Read<std::int64_t>(0x0570), 914LL * 4294967296LL + 1073741824LL) << "metres, 32.32";
  EXPECT_EQ(Read<std::uint32_t>(0x0580), 1073741824u) << "90 degrees: 2^32 / 4";
  EXPECT_EQ(Read<std::uint16_t>(0x02A0), 65536 - 2276) << "-12.5 degrees: 65536 * 12.5 / 360";
  EXPECT_EQ(Read<std::uint32_t>(0x02B4), 6553600u) << "100 m/s * 65536";
  EXPECT_EQ(Read<std::int32_t>(0x0020), 6 * 256) << "the ground, 1/256 m";
  EXPECT_EQ(Read<std::uint32_t>(0x3304), 0x19980005u);
  EXPECT_EQ(Read<std::uint32_t>(0x3308), 0xFADE0000u) << "the client's version never shows";
}

TEST_F(HostedLink, SilentSimulatorFailsEachExchangeAtOnceAndResumes) {
  provider_.reading = Aircraft(50.0875, 14.421, 5.0, 0.0);
  LinkResult result{};
  ASSERT_TRUE(link_.Open(0, result));
  provider_.reading.reset();
  EXPECT_EQ(Sample(), "Processing: IPC timed out all retries");
  // The first read tried ten times, none of them waited for (the sample stops there).
  EXPECT_EQ(services_.SilentExchanges(), 10u);
  EXPECT_TRUE(link_.IsOpen());
  provider_.reading = Aircraft(50.0875, 14.421, 5.0, 0.0);
  EXPECT_EQ(Sample(), "Lat: 50.087500   Lon: 14.421000   H:    4.99");
}

TEST_F(HostedLink, OpeningOnASilentSimulatorTimesOutAndHoldsNothing) {
  LinkResult result{};
  EXPECT_FALSE(link_.Open(0, result));
  EXPECT_EQ(result, LinkResult::TimedOut);
  EXPECT_FALSE(link_.IsOpen());
  provider_.reading = Aircraft(1, 2, 3, 4);
  EXPECT_TRUE(link_.Open(0, result));
  link_.Close();
  EXPECT_TRUE(link_.Open(0, result)) << "reopened after the client wrote its version";
}

}  // namespace
}  // namespace quorvane::sources
