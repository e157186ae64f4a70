// Inputs from outside that the real program must not trust: values from the simulator that name
// no place on the Earth, a desktop with no Documents folder configured, settings and
// configuration files that are too large or no files at all, and a planted link.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <fstream>
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

// One start-up makes the handshake (one pass) and a sample of seven reads.
constexpr std::size_t kStartExchanges = 8;

// Positions off the globe, and altitudes no aircraft can be at (the raw value's extremes).
TEST_F(BadInputTest, ImpossiblePositionsReachNoFile) {
  int run = 0;
  for (const std::string poke :
       {"0x560:8:9223372036854775807", "0x560:8:-9223372036854775808", "0x560:8:42957666454869697",
        "0x570:8:-9223372036854775808", "0x570:8:9223372036854775807"}) {
    SCOPED_TRACE(poke);
    fs::remove_all(documents);
    fs::create_directories(documents);
    const std::string log = (root / ("sim-" + std::to_string(++run) + ".log")).string();
    SimProcess sim(
        {"--lat", "50.1", "--lon", "14.25", "--speed", "80", "--poke", poke, "--log", log});
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

// With no Documents folder configured the files go to the home folder, as xdg-user-dir says,
// and never to the root of the file system.
TEST_F(BadInputTest, NoDocumentsFolderConfiguredMeansTheHomeFolder) {
  const fs::path home = root / "home";
  fs::create_directories(home);
  ::setenv("HOME", home.c_str(), 1);
  const bool root_had_file = fs::exists("/letadlo.kml");
  SimProcess sim({"--lat", "50.1", "--lon", "14.25", "--speed", "80"});
  ASSERT_TRUE(sim.WaitUntilReady());
  for (const char* user_dirs : {"", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"}) {
    SCOPED_TRACE(user_dirs);
    fs::remove(home / "letadlo.kml");
    if (*user_dirs == '\0') {
      fs::remove(root / "config" / "user-dirs.dirs");
    } else {
      std::ofstream(root / "config" / "user-dirs.dirs") << user_dirs;
    }
    auto program = StartProgram();
    EXPECT_TRUE(WaitFor([&] { return fs::exists(home / "letadlo.kml"); }, 20000));
    EXPECT_EQ(EndProgram(*program), 0);
    EXPECT_TRUE(Whole(Read(home / "trasa.kml")));
  }
  if (!root_had_file) {
    for (const char* name :
         {"letadlo.kml", "trasa.kml", "trasa.gpx", "Quorvane live.kml", "Quorvane view.kml"}) {
      std::error_code ignored;
      EXPECT_FALSE(fs::remove(fs::path("/") / name, ignored)) << "written at the root: " << name;
    }
  }
}

// A settings file larger than 1 MiB, with sections of other programs: read whole and saved
// whole, nothing of it lost.
TEST_F(BadInputTest, LargeSettingsFileKeepsWhatElseItHolds) {
  const fs::path settings = root / "work" / "quorvane.INI";
  const std::string other = "[Other]\r\nKey=kept\r\n;" + std::string(2 << 20, 'x') + "\r\n";
  std::ofstream(settings, std::ios::binary)
      << other << "[TForm1]\r\nRxSpinEdit1_Value=120\r\n[Last]\r\nEnd=here\r\n";
  SimProcess sim({"--lat", "50.1", "--lon", "14.25"});
  ASSERT_TRUE(sim.WaitUntilReady());
  auto program = StartProgram();
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Aircraft()); }, 20000));
  EXPECT_EQ(EndProgram(*program), 0);
  const std::string saved = Read(settings);
  EXPECT_EQ(saved.rfind(other, 0), 0u) << "the other section and the long line, unchanged";
  EXPECT_NE(saved.find("[Last]\r\nEnd=here\r\n"), std::string::npos);
  EXPECT_NE(saved.find("RxSpinEdit1_Value=120\r\n"), std::string::npos);
}

// A FIFO where a settings or configuration file is expected is not waited on: the program
// starts, updates, and ends when asked, and the FIFO stays as it was.
TEST_F(BadInputTest, FifoInPlaceOfAFileIsNotWaitedOn) {
  SimProcess sim({"--lat", "50.1", "--lon", "14.25"});
  ASSERT_TRUE(sim.WaitUntilReady());
  const fs::path settings = root / "work" / "quorvane.INI";
  const fs::path user_dirs = root / "config" / "user-dirs.dirs";
  ::setenv("HOME", documents.c_str(), 1);  // where the files go without a user-dirs file
  for (const fs::path& fifo : {settings, user_dirs}) {
    SCOPED_TRACE(fifo.filename());
    fs::remove(fifo);
    fs::remove(Aircraft());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto program = StartProgram();
    EXPECT_TRUE(WaitFor([&] { return fs::exists(Aircraft()); }, 10000));
    EXPECT_EQ(EndProgram(*program), 0);
    EXPECT_TRUE(fs::is_fifo(fifo));
    fs::remove(fifo);
  }
}

// "quorvane D" never follows a link planted at "f:\dyn.txt": its target is not emptied.
TEST_F(BadInputTest, KeptOpenFileNeverFollowsALink) {
  const fs::path target = root / "precious.txt";
  std::ofstream(target) << "a file of the user's";
  fs::create_symlink(target, root / "work" / "f:\\dyn.txt");
  SimProcess sim({"--lat", "50.1", "--lon", "14.25"});
  ASSERT_TRUE(sim.WaitUntilReady());
  ChildProcess program(QUORVANE_PROGRAM_PATH, {"D"}, (root / "work").string());
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_EQ(Read(target), "a file of the user's");
  EXPECT_EQ(EndProgram(program), 0);
  EXPECT_TRUE(fs::is_symlink(root / "work" / "f:\\dyn.txt"));
}

}  // namespace
}  // namespace quorvane
