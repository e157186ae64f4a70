// The live view of the real program, off-screen, against quorvane-sim's demo flight: the live
// aircraft follows at the live rate while "letadlo.kml" waits for the update interval.

#include <chrono>
#include <csignal>

#include "tests/e2e/program_desktop.h"

namespace quorvane {
namespace {

using namespace testing;
using LiveViewTest = ProgramDesktop;

TEST_F(LiveViewTest, LiveAircraftMovesEveryTwoSecondsWhileLetadloStays) {
  SimProcess sim({"--demo", "--rate", "10"});
  ASSERT_TRUE(sim.WaitUntilReady());
  auto program = StartProgram();
  const fs::path live = documents / "Quorvane live aircraft.kml";
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Aircraft()) && fs::exists(live); }, 20000));
  const std::string aircraft = Read(Aircraft());
  std::string seen = Read(live);
  const auto start = std::chrono::steady_clock::now();
  int changes = 0;
  for (; changes < 3; ++changes) {
    const bool changed = WaitFor(
        [&] {
          const std::string now = Read(live);
          return Whole(now) && now != seen;
        },
        10000);
    if (!changed) {
      break;
    }
    seen = Read(live);
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(changes, 3);
  // Three new positions at one every two seconds: at least two whole periods, and far from the
  // update interval of a minute.
  EXPECT_GE(elapsed, std::chrono::milliseconds(3500));
  EXPECT_LT(elapsed, std::chrono::seconds(20));
  EXPECT_EQ(Read(Aircraft()), aircraft) << "letadlo.kml waits for the update";
  EXPECT_NE(Read(documents / "Quorvane live.kml").find("<refreshInterval>2</refreshInterval>"),
            std::string::npos);
  EXPECT_NE(Read(documents / "Quorvane live route.kml").find("<coordinates>"), std::string::npos);

  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(20000), 0);
}

}  // namespace
}  // namespace quorvane
