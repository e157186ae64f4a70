// Where X-Plane and FlightGear are looked for: the settings file's [Simulators], read and never
// written, under the command line's options.

#include "app/settings/simulator_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/command_line.h"
#include "app/settings/ini_file.h"
#include "files/platform_files.h"
#include "tests/app/form_harness.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using sources::SimulatorAddresses;

std::string Read(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class SimulatorSettingsTest : public ::testing::Test {
 protected:
  ~SimulatorSettingsTest() override { fs::remove_all(folder_); }

  // The addresses a settings file holding `text` gives, with the command line's choices over it;
  // the file must come out byte for byte as it went in.
  SimulatorAddresses With(const std::string& text, const sources::SimulatorChoices& command = {}) {
    std::ofstream(file_, std::ios::binary) << text;
    const SimulatorAddresses addresses = SimulatorAddressesFor(files_, file_.string(), command);
    EXPECT_EQ(Read(file_), text) << "the settings file was changed";
    return addresses;
  }

  fs::path folder_ = testing::UniqueTemporaryFolder("quorvane-simulators");
  fs::path file_ = folder_ / "quorvane.INI";
  IniFiles files_{PlatformFileSystem()};
};

// The addresses as one line, to compare a table's cases at a glance.
std::string Text(const SimulatorAddresses& a) {
  return a.xplane_host + ":" + std::to_string(a.xplane_port) + " " + a.flightgear_address + ":" +
         std::to_string(a.flightgear_port) + " from " + a.flightgear_host;
}

constexpr const char* kDefaults = "127.0.0.1:49000 127.0.0.1:5510 from ";

TEST_F(SimulatorSettingsTest, SectionSetsTheAddressesAndBadValuesLeaveTheDefaults) {
  struct Case {
    std::string text;
    std::string addresses;
  };
  for (const Case& c : {
           Case{"", kDefaults},
           Case{"[TForm1]\r\nRxSpinEdit1_Value=30\r\n", kDefaults},
           Case{"[Simulators]\r\nXPlaneHost=sim.lan\r\nXPlanePort=49001\r\n"
                "FlightGearAddress=0.0.0.0\r\nFlightGearPort=5511\r\nFlightGearHost=10.0.0.7\r\n",
                "sim.lan:49001 0.0.0.0:5511 from 10.0.0.7"},
           // Names without regard to case, quotes stripped, as the profile functions read them.
           Case{"[simulators]\nxplaneport=\"49002\"\nflightgearport=0\n",
                "127.0.0.1:49002 127.0.0.1:0 from "},
           Case{"[Simulators]\nXPlanePort=abc\nFlightGearPort=65536\nXPlaneHost=a b\n"
                "FlightGearAddress=\nFlightGearHost=host;rm -rf\n",
                kDefaults},
           Case{"[Simulators]\nXPlanePort=-1\nFlightGearPort=55 11\nXPlaneHost=" +
                    std::string(300, 'a') + "\n",
                kDefaults},
       }) {
    EXPECT_EQ(Text(With(c.text)), c.addresses) << c.text;
  }
}

TEST_F(SimulatorSettingsTest, CommandLineComesOverTheSection) {
  const CommandLine command =
      ParseCommandLine({"--xplane-port", "49005", "--flightgear-host", "10.0.0.9", "D"}, "~/own");
  ASSERT_FALSE(command.exit_status) << command.text;
  EXPECT_EQ(command.remaining, std::vector<std::string>{"D"});
  EXPECT_EQ(Text(With("[Simulators]\r\nXPlanePort=49001\r\nXPlaneHost=sim.lan\r\n"
                      "FlightGearHost=10.0.0.7\r\n",
                      command.simulators)),
            "sim.lan:49005 127.0.0.1:5510 from 10.0.0.9");
}

TEST_F(SimulatorSettingsTest, MissingOrUnreadableFileGivesTheDefaultsAndIsNotCreated) {
  EXPECT_EQ(Text(SimulatorAddressesFor(files_, file_.string(), {})), kDefaults);
  EXPECT_FALSE(fs::exists(file_));
  fs::create_directory(file_);  // not a plain file
  EXPECT_EQ(Text(SimulatorAddressesFor(files_, file_.string(), {})), kDefaults);
}

TEST(SimulatorCommandLine, OptionsAreListedAndBadValuesRefused) {
  const CommandLine help = ParseCommandLine({"--help"}, "~/own");
  ASSERT_EQ(help.exit_status, 0);
  for (const char* option : {"--xplane-host", "--xplane-port", "--flightgear-address",
                             "--flightgear-port", "--flightgear-host", "[Simulators]"}) {
    EXPECT_NE(help.text.find(option), std::string::npos) << option;
  }
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--xplane-port", "70000"},
        std::vector<std::string>{"--flightgear-host", "a;b"}}) {
    const CommandLine command = ParseCommandLine(bad, "~/own");
    EXPECT_EQ(command.exit_status, 2) << bad[0];
    EXPECT_NE(command.text.find(bad[0]), std::string::npos) << command.text;
  }
  const CommandLine none = ParseCommandLine({"D"}, "~/own");
  EXPECT_FALSE(none.simulators.xplane_port);
  EXPECT_FALSE(none.simulators.xplane_host);
  EXPECT_FALSE(none.simulators.flightgear_host);
}

}  // namespace
}  // namespace quorvane
