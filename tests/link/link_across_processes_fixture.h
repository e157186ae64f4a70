#pragma once

// A link over this platform's real services, and quorvane-sim started for it in another process
// with a log of every block it receives.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "link/fsuipc_link.h"
#include "link/platform_link_services.h"
#include "tests/support/sim_process.h"

namespace quorvane::testing {

class LinkAcrossProcessesTest : public ::testing::Test {
 protected:
  // Starts a simulator with the given options and a log of its exchanges.
  void StartSimulator(std::vector<std::string> options) {
    options.push_back("--log");
    options.push_back(log_path);
    sim = std::make_unique<SimProcess>(options);
    ASSERT_TRUE(sim->WaitUntilReady());
  }

  // The lengths of the logged exchanges.
  std::vector<int> LoggedLengths() const {
    std::vector<int> lengths;
    for (const std::string& line : ReadLines(log_path)) {
      lengths.push_back(std::stoi(line.substr(0, line.find(' '))));
    }
    return lengths;
  }

  PrivateRuntimeDir runtime;
  std::string log_path = (std::filesystem::path(runtime.path()) / "exchanges.log").string();
  std::unique_ptr<SimProcess> sim;
  FsuipcLink link{PlatformLinkServices()};
  LinkResult result = LinkResult::Okay;
};

}  // namespace quorvane::testing
