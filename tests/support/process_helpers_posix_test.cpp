// The process helpers' checks that need POSIX signals to provoke.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <csignal>

#include "tests/support/sim_process.h"

namespace quorvane::testing {
namespace {

TEST(SimProcess, ServerThatEndsBadlyFailsTheTestThatStopsIt) {
  PrivateRuntimeDir runtime;
  SimProcess sim({});
  ASSERT_TRUE(sim.WaitUntilReady());
  sim.Signal(SIGKILL);  // as a crash, or a sanitizer's abort, ends it
  int status = 0;
  EXPECT_NONFATAL_FAILURE(status = sim.Stop(), "ended with signal 9");
  EXPECT_EQ(status, -1);
}

TEST(SimProcess, FrozenServerIsStillStoppedCleanly) {
  PrivateRuntimeDir runtime;
  SimProcess sim({});
  ASSERT_TRUE(sim.WaitUntilReady());
  sim.Signal(SIGSTOP);
  EXPECT_EQ(sim.Stop(), 0);
}

}  // namespace
}  // namespace quorvane::testing
