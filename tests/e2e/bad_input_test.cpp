// Inputs from outside that the real program must not trust: values from the simulator that name
// no place on the Earth, a desktop with no Documents folder configured, settings and
// configuration files that are too large or no files at all, and a planted link.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <thread>

#include "tests/e2e/program_desktop.h"

namespace quorvane {
namespace {

using namespace testing;

class BadInputTest : public ProgramDesktop {
 protected:
  // Ends the program as a logout does; its exit status.
  static int EndProgram(ChildProcess& program) {
    program.Signal(SIGTERM);
    return program.Wait(20000);
  }
  // Waits until quorvane-sim has logged `exchanges` blocks.
  static bool Served(const std::string& log, std::size_t exchanges) {
    return WaitFor([&] { return ReadLines(log).size() >= exchanges; }, 20000);
  }
};

// One start-up makes the handshake (one pass) and a sample of six reads.
constexpr std::size_t kStartExchanges = 7;

TEST_F(BadInputTest, PositionsOffTheGlobeReachNoFile) {
  for (const std::string raw_latitude :
       {"9223372036854775807", "-9223372036854775808", "42957666454869697"}) {
    SCOPED_TRACE(raw_latitude);
    fs::remove_all(documents);
    fs::create_directories(documents);
    const std::string log = (root / ("sim-" + raw_latitude + ".log")).string();
    SimProcess sim({"--lat", "50.1", "--lon", "14.25", "--speed", "80", "--poke",
                    "0x560:8:" + raw_latitude, "--log", log});
    ASSERT_TRUE(sim.WaitUntilReady());
    auto program = StartProgram();
    ASSERT_TRUE(Served(log, kStartExchanges));
    EXPECT_EQ(EndProgram(*program), 0);
    EXPECT_FALSE(fs::exists(Aircraft()));
    EXPECT_FALSE(fs::exists(documents / "Quorvane view.kml"));
    EXPECT_NE(Read(Route()).find("<coordinates></coordinates>"), std::string::npos);
    EXPECT_EQ(Read(documents / "trasa.gpx").find("<trkpt"), std::string::npos);
  }
}

}  // namespace
}  // namespace quorvane
