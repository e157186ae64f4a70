// The helpers that run programs for the end-to-end tests: a program that runs past its limit, or
// a quorvane-sim that cannot start, is a failure of the test that ran it, within a bounded time.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/support/sim_process.h"

namespace quorvane::testing {
namespace {

using Clock = std::chrono::steady_clock;

TEST(RunProgram, GivesTheOutputAndExitStatusOfAProgramThatEnds) {
  const ProgramRun run = RunProgram(SimProgramPath(), {"--help"});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_FALSE(run.timed_out);
  EXPECT_NE(run.output.find("--garble-after"), std::string::npos) << run.output;
}

TEST(RunProgram, KillsAProgramPastItsLimitAndFailsTheTest) {
  PrivateRuntimeDir runtime;  // the server's socket, on POSIX
  const auto start = Clock::now();
  ProgramRun run;
  // quorvane-sim runs until it is ended.
  EXPECT_NONFATAL_FAILURE(
      run = RunProgram(SimProgramPath(), {"--class", "QuorvaneHelpersTest"}, 500),
      "was still running after");
  EXPECT_TRUE(run.timed_out);
  EXPECT_EQ(run.exit_status, -1);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
}

TEST(SimProcess, ServerThatCannotStartFailsTheTestWithItsStatus) {
  PrivateRuntimeDir runtime;
  SimProcess sim({"--lat", "north"});
  bool ready = true;
  EXPECT_NONFATAL_FAILURE(ready = sim.WaitUntilReady(), "before it was ready");
  EXPECT_FALSE(ready);
}

TEST(SimProcess, ServerAskedToStopEndsWithZeroAndNoFailure) {
  PrivateRuntimeDir runtime;
  SimProcess sim({"--class", "QuorvaneHelpersTest"});
  ASSERT_TRUE(sim.WaitUntilReady());
  EXPECT_EQ(sim.Stop(), 0);
}

}  // namespace
}  // namespace quorvane::testing
