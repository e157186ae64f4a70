// The program itself, off-screen, against quorvane-sim: what a user sees in the Documents folder.

#include <csignal>

#include "tests/e2e/program_desktop.h"

namespace quorvane {
namespace {

using namespace testing;
using ProgramTest = ProgramDesktop;

TEST_F(ProgramTest, WritesTheAircraftAtStartAndTheRouteOnSigterm) {
  SimProcess sim({"--lat", "50.1", "--lon", "14.25", "--heading", "90", "--speed", "80"});
  ASSERT_TRUE(sim.WaitUntilReady());
  auto program = StartProgram();
  const fs::path aircraft = documents / "letadlo.kml";
  ASSERT_TRUE(WaitFor([&] { return fs::exists(aircraft); }, 20000));
  EXPECT_NE(Read(aircraft).find("<coordinates>14.250000,50.100000,10</coordinates>"),
            std::string::npos);

  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(20000), 0);
  const std::string route = Read(documents / "trasa.kml");
  EXPECT_NE(route.find("<coordinates>14.250000,50.100000,0 </coordinates>"), std::string::npos)
      << route;
  // The window's settings were saved in the working folder, under the program's name.
  std::vector<std::string> keys;
  for (const std::string& line : ReadLines((root / "work" / "quorvane.INI").string())) {
    keys.push_back(line.substr(0, line.find('=')));
  }
  ASSERT_EQ(keys.size(), 13u);
  EXPECT_EQ(keys[0], "[TForm1]\r");
  EXPECT_EQ(keys[1], "FormVersion");
  EXPECT_EQ(keys[12], "CheckBox2_Checked");
  // The route was opened with the desktop's opener, in the Documents folder.
  EXPECT_EQ(
      ReadLines((root / "opened").string()),
      std::vector<std::string>{documents.string() + "|" + (documents / "trasa.kml").string()});
}

TEST_F(ProgramTest, UpdatesAtTheIntervalAndReconnectsToARestartedSimulator) {
  auto sim = std::make_unique<SimProcess>(
      std::vector<std::string>{"--lat", "50.1", "--lon", "14.25", "--speed", "80"});
  ASSERT_TRUE(sim->WaitUntilReady());
  auto program = StartProgram();
  const fs::path aircraft = documents / "letadlo.kml";
  ASSERT_TRUE(WaitFor([&] { return fs::exists(aircraft); }, 20000));

  // The simulator goes away and comes back somewhere else: the next update (60 s after the
  // first) fails, and the retrying reconnects five seconds later and updates at once.
  sim.reset();
  sim = std::make_unique<SimProcess>(
      std::vector<std::string>{"--lat", "51.5", "--lon", "-0.125", "--speed", "80"});
  ASSERT_TRUE(sim->WaitUntilReady());
  EXPECT_TRUE(WaitFor(
      [&] {
        return Read(aircraft).find("<coordinates>-0.125000,51.500000,10</coordinates>") !=
               std::string::npos;
      },
      90000));

  program->Signal(SIGINT);
  EXPECT_EQ(program->Wait(20000), 0);
  EXPECT_NE(Read(documents / "trasa.kml")
                .find("<coordinates>14.250000,50.100000,0 -0.125000,51.500000,0 </coordinates>"),
            std::string::npos);
}

// "3D" ticked in an earlier run: the updates after start-up, the route and the view stand at
// quorvane-sim's altitude; the track has it either way.
TEST_F(ProgramTest, ThreeDFromTheSettingsPlacesTheFlightAtItsAltitude) {
  SimProcess sim({"--lat", "50.1", "--lon", "14.25", "--speed", "80", "--alt", "914.5"});
  ASSERT_TRUE(sim.WaitUntilReady());
  fs::create_directories(root / "work");
  std::ofstream(root / "work" / "quorvane.INI", std::ios::binary)
      << "[TForm1]\r\nRxSpinEdit1_Value=10\r\nCheckBox3_Checked=True\r\n";
  auto program = StartProgram();
  // The first update comes at start-up, before the settings are restored; the next, ten
  // seconds later, in 3D.
  EXPECT_TRUE(WaitFor(
      [&] {
        return Read(Aircraft()).find("<coordinates>14.250000,50.100000,914.5</coordinates>") !=
               std::string::npos;
      },
      30000));
  EXPECT_NE(Read(documents / "Quorvane view.kml").find("<altitude>914.5</altitude>"),
            std::string::npos);
  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(20000), 0);
  const std::string route = Read(Route());
  EXPECT_NE(route.find("<altitudeMode>absolute</altitudeMode>"), std::string::npos) << route;
  EXPECT_NE(route.find("14.250000,50.100000,914.5 </coordinates>"), std::string::npos) << route;
  EXPECT_NE(Read(documents / "trasa.gpx").find("<ele>914.5</ele>"), std::string::npos);
  EXPECT_NE(Read(root / "work" / "quorvane.INI").find("CheckBox3_Checked=True\r\n"),
            std::string::npos);
}

TEST_F(ProgramTest, HelpAndVersionAreAnsweredWithoutADisplay) {
  // A display that cannot be reached: the toolkit would fail to start.
  ::setenv("DISPLAY", ":31999", 1);
  ::unsetenv("QT_QPA_PLATFORM");
  const auto version = RunProgram(QUORVANE_PROGRAM_PATH, {"--version"});
  EXPECT_EQ(version.exit_status, 0);
  EXPECT_EQ(version.output, "quorvane " QUORVANE_VERSION "\n");
  const auto help = RunProgram(QUORVANE_PROGRAM_PATH, {"--help"});
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_NE(help.output.find("--user-folder"), std::string::npos) << help.output;
  EXPECT_EQ(RunProgram(QUORVANE_PROGRAM_PATH, {"--user-folder=often"}).exit_status, 2);
}

// Started from the desktop's menu: the program runs in the user's own folder, created when
// missing, so the settings file is read and written there; the arguments it does not know of
// pass on (here "D", and Qt's options).
TEST_F(ProgramTest, UserFolderKeepsTheSettingsAndOtherArgumentsPassOn) {
  SimProcess sim({"--lat", "50.1", "--lon", "14.25"});
  ASSERT_TRUE(sim.WaitUntilReady());
  const fs::path own = root / "config" / "quorvane";
  ASSERT_FALSE(fs::exists(own));
  const std::vector<std::string> arguments{"-platform", "offscreen", "--user-folder", "D"};
  {
    ChildProcess program(QUORVANE_PROGRAM_PATH, arguments, (root / "work").string());
    // On Linux the Windows path "f:\dyn.txt" is a file name in the working folder.
    ASSERT_TRUE(WaitFor([&] { return fs::exists(own / "f:\\dyn.txt"); }, 20000));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(20000), 0);
  }

  // Settings of ten-second updates, read from there: a second update follows the first.
  std::ofstream(own / "quorvane.INI", std::ios::binary) << "[TForm1]\r\nRxSpinEdit1_Value=10\r\n";
  fs::remove(Aircraft());
  ChildProcess program(QUORVANE_PROGRAM_PATH, arguments, (root / "work").string());
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Aircraft()); }, 20000));
  const auto first = fs::last_write_time(Aircraft());
  ASSERT_TRUE(WaitFor([&] { return fs::last_write_time(Aircraft()) != first; }, 30000));
  program.Signal(SIGTERM);
  EXPECT_EQ(program.Wait(20000), 0);
  // ... and written there at the close, whole.
  EXPECT_EQ(ReadLines((own / "quorvane.INI").string()).size(), 13u);
  EXPECT_FALSE(fs::exists(root / "work" / "quorvane.INI"));
}

}  // namespace
}  // namespace quorvane
