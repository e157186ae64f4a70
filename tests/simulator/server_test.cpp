#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "link/fsuipc_offsets.h"
#include "link/request_block.h"
#include "sampling/conversions.h"
#include "simulator/aircraft_state.h"
#include "simulator/block_server.h"
#include "simulator/simulator_core.h"

namespace quorvane::sim {
namespace {

// A block of exactly `size` bytes on the heap, so a sanitizer sees any access past it.
struct Block {
  explicit Block(std::size_t size) : bytes(std::make_unique<std::uint8_t[]>(size)), size(size) {}
  void Put(std::size_t at, std::initializer_list<std::uint32_t> words) {
    for (std::uint32_t word : words) {
      block::StoreU32(bytes.get() + at, word);
      at += 4;
    }
  }
  std::uint32_t Word(std::size_t at) const { return block::LoadU32(bytes.get() + at); }
  std::unique_ptr<std::uint8_t[]> bytes;
  std::size_t size;
};

TEST(ServeBlock, FillsReadsStoresWritesAndLeavesHeadersAlone) {
  OffsetSpace space;
  space.Put(0x3304, 4, 0x36220002);
  Block b(64);
  b.Put(0, {1, 0x3304, 4, 0xABCD, 0});
  b.Put(20, {2, 0x1000, 4, 0x11223344});
  b.Put(36, {0});
  const ServedBlock served = ServeBlock(b.bytes.get(), b.size, space);
  EXPECT_TRUE(served.terminated);
  EXPECT_EQ(served.length, 40u);
  EXPECT_EQ(b.Word(16), 0x36220002u);
  EXPECT_EQ(b.Word(12), 0xABCDu) << "the destination field is the client's";
  EXPECT_EQ(space.Get(0x1000, 4), 0x11223344u);
}

TEST(ServeBlock, StopsInsideTheBlockOnBadOrCutOffRequests) {
  OffsetSpace space;
  {
    Block b(32);
    b.Put(0, {1, 0, 0x7FFFFFFF, 0});  // data would run far past the block
    const ServedBlock served = ServeBlock(b.bytes.get(), b.size, space);
    EXPECT_FALSE(served.terminated);
    EXPECT_EQ(served.length, 0u);
  }
  {
    Block b(32);
    b.Put(0, {9, 0, 4, 0});  // unknown id
    EXPECT_FALSE(ServeBlock(b.bytes.get(), b.size, space).terminated);
  }
  {
    Block b(20);
    b.Put(0, {1, 0x3304, 4, 0, 0xFFFFFFFF});  // no room left for a terminator
    const ServedBlock served = ServeBlock(b.bytes.get(), b.size, space);
    EXPECT_FALSE(served.terminated);
    EXPECT_EQ(served.length, 20u);
  }
  {
    Block b(16);
    b.Put(0, {1, 0xFFFE, 8, 0});  // a whole header, but its data would run past the block
    b.bytes[15] = 0;
    EXPECT_FALSE(ServeBlock(b.bytes.get(), b.size, space).terminated);
  }
}

TEST(ServeBlock, ReadsRunningPastTheOffsetSpaceAreFilledWithZeros) {
  OffsetSpace space;
  space.Put(0xFFFC, 4, 0x44332211);
  Block b(48);
  std::memset(b.bytes.get(), 0xAA, b.size);  // whatever the client's block held before
  b.Put(0, {1, 0xFFFC, 8, 0});               // the last 4 bytes of the space, then 4 past it
  b.Put(24, {1, 0x20000, 4, 0});             // wholly past it
  b.Put(44, {0});
  const ServedBlock served = ServeBlock(b.bytes.get(), b.size, space);
  EXPECT_TRUE(served.terminated);
  EXPECT_EQ(b.Word(16), 0x44332211u);
  EXPECT_EQ(b.Word(20), 0u) << "the part past the space";
  EXPECT_EQ(b.Word(24), 1u) << "the next header untouched";
  EXPECT_EQ(b.Word(40), 0u) << "a read wholly past the space";
}

TEST(OffsetSpace, ReadsPastTheEndAreZeroAndWritesThereAreDropped) {
  // On the heap at its exact size, so that a sanitizer sees any access past its end.
  const auto space = std::make_unique<OffsetSpace>();
  space->Put(0xFFFE, 8, 0xFFFFFFFFFFFFFFFF);
  std::uint8_t read[8];
  std::memset(read, 0xAA, sizeof read);
  space->Read(0xFFFE, 8, read);
  EXPECT_EQ(std::vector<std::uint8_t>(read, read + 8),
            (std::vector<std::uint8_t>{0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
  std::memset(read, 0xAA, sizeof read);
  space->Read(0x20000, 4, read);
  EXPECT_EQ(std::vector<std::uint8_t>(read, read + 4), std::vector<std::uint8_t>(4, 0));
  EXPECT_EQ(read[4], 0xAA) << "nothing past the read's size";
  const std::uint8_t ones[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  space->Write(0xFFFFFFFC, 8, ones);  // wholly past the end, even where offset + size wraps
  space->Write(0xFFFF, 8, ones);
  EXPECT_EQ(space->Get(0xFFFE, 2), 0x01FFu);
  EXPECT_EQ(space->Get(0, 8), 0u);
}

// What the client makes of the values the stand-in stores: the position as it was given, the
// heading low by the client's own divisor, as from the real FSUIPC.
TEST(RawEncoding, ClientConversionsReadTheStoredValues) {
  for (double latitude : {0.0, 50.0875, -33.946, 90.0, -90.0}) {
    EXPECT_NEAR(LatitudeDegrees(static_cast<double>(fsuipc::RawLatitude(latitude))), latitude,
                1e-12);
  }
  for (double longitude : {0.0, 14.421, -122.41942, -180.0, 179.999999}) {
    EXPECT_NEAR(LongitudeDegrees(static_cast<double>(fsuipc::RawLongitude(longitude))), longitude,
                1e-12);
  }
  EXPECT_NEAR(HeadingDegrees(fsuipc::RawTrueHeading(90.0), 0.0), 89.8056, 1e-4);
  EXPECT_NEAR(HeadingDegrees(fsuipc::RawTrueHeading(5.0), 0.0), 4.9892, 1e-4);
  EXPECT_EQ(MagneticVariationDegrees(fsuipc::RawMagneticVariation(-22.5)), -22.5);
}

TEST(StoreAircraft, PutsEveryValueAtItsOffset) {
  OffsetSpace space;
  StoreAircraft({-45.0, 90.0, 90.0, -12.5, 100.0, 6.0, 914.25}, space);
  EXPECT_EQ(space.Get(0x0560, 8), static_cast<std::uint64_t>(-21478594576384000))
      << "-45 degrees: 10001750 * 2^32 / -2";
  EXPECT_EQ(space.Get(0x0568, 8), 0x4000000000000000u) << "90 degrees: 2^64 / 4";
  EXPECT_EQ(space.Get(0x0580, 4), 0x40000000u) << "90 degrees true: 2^32 / 4";
  EXPECT_EQ(space.Get(0x02A0, 2), 65536u - 2276u) << "-12.5 degrees: 65536 * 12.5 / 360";
  EXPECT_EQ(space.Get(0x02B4, 4), 6553600u) << "100 m/s * 65536";
  EXPECT_EQ(space.Get(0x0020, 4), 6u * 256u) << "the ground, 1/256 m";
  EXPECT_EQ(space.Get(0x0570, 8), 914u * 4294967296u + 1073741824u) << "metres, 32.32";
}

TEST(DemoFlight, StandsThenFliesClosedLapsAboveTheMovingSpeed) {
  const AircraftState parked = DemoFlightAt(10.0);
  EXPECT_EQ(parked.speed, 0.0);
  const AircraftState flying = DemoFlightAt(100.0);
  EXPECT_GT(flying.speed, 60.0);
  EXPECT_NE(flying.longitude, parked.longitude);
  const AircraftState lap = DemoFlightAt(30.0 + 24000.0 / 75.0);
  EXPECT_NEAR(lap.latitude, parked.latitude, 1e-9);
  EXPECT_NEAR(lap.longitude, parked.longitude, 1e-9);
  // Continuous: a second apart never moves more than 76 m.
  for (double t = 30.0; t < 400.0; t += 1.0) {
    const AircraftState a = DemoFlightAt(t);
    const AircraftState b = DemoFlightAt(t + 1.0);
    const double north = (b.latitude - a.latitude) * 111320.0;
    const double east = (b.longitude - a.longitude) * 111320.0 * std::cos(a.latitude / 57.3);
    EXPECT_LT(std::hypot(north, east), 76.0) << t;
  }
}

// Each lap: a take-off roll on the runway, a climb, a cruise, a descent and a landing roll, with
// no jump in altitude.
TEST(DemoFlight, EachLapTakesOffClimbsCruisesDescendsAndLands) {
  struct Case {
    const char* phase;
    double seconds;  // since the start of the flight
    double metres;
  };
  constexpr double kLapStart = 30.0;  // the aircraft stands until then
  for (const Case& c :
       {Case{"standing", 10.0, 380.0}, Case{"take-off roll", kLapStart + 10.0, 380.0},
        Case{"climbing", kLapStart + 5250.0 / 75.0, 940.0},
        Case{"cruising", kLapStart + 12000.0 / 75.0, 1500.0},
        Case{"descending", kLapStart + 18750.0 / 75.0, 940.0},
        Case{"landing roll", kLapStart + 23000.0 / 75.0, 380.0},
        Case{"next lap's roll", kLapStart + 24500.0 / 75.0, 380.0}}) {
    EXPECT_NEAR(DemoFlightAt(c.seconds).altitude, c.metres, 1e-6) << c.phase;
  }
  for (double t = 0.0; t < 700.0; t += 1.0) {
    EXPECT_LT(std::abs(DemoFlightAt(t + 1.0).altitude - DemoFlightAt(t).altitude), 12.0) << t;
  }
}

class CoreTest : public ::testing::Test {
 protected:
  std::optional<std::uint32_t> Exchange(SimulatorCore& core, Block& b) {
    return core.Exchange(b.bytes.get(), b.size, SimulatorCore::Clock::now());
  }
};

TEST_F(CoreTest, VersionWordsSurviveTheClientsVersionWrite) {
  SimulatorCore core(SimOptions{});
  Block handshake(64);
  handshake.Put(0, {1, 0x3304, 4, 0, 0, 1, 0x3308, 4, 0, 0, 2, 0x330A, 2});
  handshake.bytes[52] = 0xEC;
  handshake.bytes[53] = 0x03;
  handshake.Put(54, {0});
  ASSERT_EQ(Exchange(core, handshake), 1u);
  EXPECT_EQ(handshake.Word(36), 0xFADE0008u);

  Block again(64);
  again.Put(0, {1, 0x3308, 4, 0, 0, 0});
  ASSERT_EQ(Exchange(core, again), 1u);
  EXPECT_EQ(again.Word(16), 0xFADE0008u);
  EXPECT_EQ(core.ClientVersionWritten(), 1004);
}

TEST_F(CoreTest, PokesAreAppliedLastAndFaultModesShapeTheReply) {
  SimOptions options;
  options.aircraft.latitude = 50.0;
  options.pokes = {{0x0560, 8, 0}, {0x3304, 4, 0}};
  options.reply = 2;
  options.exit_after = 2;
  SimulatorCore core(options);
  Block b(64);
  b.Put(0, {1, 0x0560, 8, 0, 0, 0, 1, 0x3304, 4, 0, 0xFF, 0});
  EXPECT_EQ(Exchange(core, b), 2u);
  EXPECT_EQ(b.Word(16), 0u);
  EXPECT_EQ(b.Word(40), 0u);
  EXPECT_FALSE(core.Finished());
  Exchange(core, b);
  EXPECT_TRUE(core.Finished());

  SimOptions hanging;
  hanging.hang = true;
  SimulatorCore hung(hanging);
  Block h(32);
  h.Put(0, {1, 0x3304, 4, 0, 0, 0});
  EXPECT_FALSE(Exchange(hung, h));
  EXPECT_EQ(h.Word(16), 0u) << "a hung server performs nothing";
}

TEST_F(CoreTest, GarblingForgesTheFirstSizeAfterServing) {
  SimOptions options;
  options.garble = true;
  SimulatorCore core(options);
  Block b(64);
  b.Put(0, {1, 0x3304, 4, 0, 0, 0});
  EXPECT_EQ(Exchange(core, b), 1u);
  EXPECT_EQ(b.Word(8), 0x7FFFFFFFu);
  EXPECT_EQ(b.Word(16), 0x36220002u) << "served first";
}

TEST_F(CoreTest, GarblingAfterAGoodStartForgesOnlyTheLaterReplies) {
  SimOptions options;
  options.garble_after = 2;
  SimulatorCore core(options);
  for (int exchange = 1; exchange <= 4; ++exchange) {
    SCOPED_TRACE(exchange);
    Block b(64);
    b.Put(0, {1, 0x3304, 4, 0, 0, 0});
    EXPECT_EQ(Exchange(core, b), 1u);
    EXPECT_EQ(b.Word(8), exchange <= 2 ? 4u : 0x7FFFFFFFu);
    EXPECT_EQ(b.Word(16), 0x36220002u) << "served all the same";
  }
}

TEST(ExchangeLogLine, LengthThenLowerCaseHex) {
  const std::uint8_t bytes[] = {0x01, 0x00, 0xAB, 0xEC};
  EXPECT_EQ(ExchangeLogLine(bytes, 4), "4 0100abec");
  EXPECT_EQ(ExchangeLogLine(bytes, 0), "0 ");
}

}  // namespace
}  // namespace quorvane::sim
