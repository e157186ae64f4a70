// What earlier runs of the real program leave behind never harms a later one: the flight of the
// last run is kept when a run without a flight replaces the route, the temporary files of a
// killed run are removed, and the shared block of a killed run does not refuse a later process
// that gets the same process id.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <thread>

#include "tests/e2e/program_desktop.h"

namespace quorvane {
namespace {

using namespace testing;

class LeftoversTest : public ProgramDesktop {
 protected:
  // Ends the program as a logout does; its exit status.
  static int EndProgram(ChildProcess& program) {
    program.Signal(SIGTERM);
    return program.Wait(20000);
  }
  fs::path Flights() const { return documents / "Quorvane flights"; }
  std::vector<fs::path> Kept() const {
    std::vector<fs::path> kept;
    if (fs::is_directory(Flights())) {
      for (const auto& entry : fs::directory_iterator(Flights())) {
        kept.push_back(entry.path());
      }
    }
    std::sort(kept.begin(), kept.end());
    return kept;
  }
};

// Fly, close, start again without a simulator, close: the flight is still there.
TEST_F(LeftoversTest, RunWithoutAFlightNeverErasesTheLastOne) {
  {
    SimProcess sim({"--lat", "50.1", "--lon", "14.25", "--speed", "80"});
    ASSERT_TRUE(sim.WaitUntilReady());
    auto program = StartProgram();
    ASSERT_TRUE(WaitFor([&] { return fs::exists(Aircraft()); }, 20000));
    ASSERT_EQ(EndProgram(*program), 0);
  }
  const std::string flown_kml = Read(Route());
  const std::string flown_gpx = Read(documents / "trasa.gpx");
  ASSERT_NE(flown_kml.find("14.250000,50.100000,0 "), std::string::npos);
  for (int run = 0; run < 2; ++run) {  // twice: the flight is kept once
    fs::remove(documents / "Quorvane live.kml");
    auto program = StartProgram();
    ASSERT_TRUE(WaitFor([&] { return fs::exists(documents / "Quorvane live.kml"); }, 20000));
    ASSERT_EQ(EndProgram(*program), 0);
  }
  EXPECT_NE(Read(Route()).find("<coordinates></coordinates>"), std::string::npos);
  const auto kept = Kept();
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].extension(), ".gpx");
  EXPECT_EQ(Read(kept[0]), flown_gpx);
  EXPECT_EQ(kept[1].extension(), ".kml");
  EXPECT_EQ(Read(kept[1]), flown_kml);
  // "trasa YYYY-MM-DD HHMM.kml"
  const std::string name = kept[1].filename().string();
  EXPECT_EQ(name.size(), std::string("trasa 2026-12-08 1430.kml").size()) << name;
  EXPECT_EQ(name.rfind("trasa 20", 0), 0u) << name;
}

TEST_F(LeftoversTest, TemporaryFilesOfAKilledRunAreRemovedAtStart) {
  // A run killed while saving leaves its temporary files, named after its process id.
  const pid_t killed = ::fork();
  if (killed == 0) {
    ::_exit(0);
  }
  ::waitpid(killed, nullptr, 0);
  const std::string stale = "letadlo.kml." + std::to_string(killed) + "-7.tmp";
  const std::string live = "trasa.kml." + std::to_string(::getpid()) + "-7.tmp";
  std::ofstream(documents / stale) << "half a file";
  std::ofstream(documents / live) << "a running program's";
  SimProcess sim({"--lat", "50.1", "--lon", "14.25"});
  ASSERT_TRUE(sim.WaitUntilReady());
  auto program = StartProgram();
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Aircraft()); }, 20000));
  EXPECT_FALSE(fs::exists(documents / stale));
  EXPECT_TRUE(fs::exists(documents / live)) << "a running process's file stays";
  EXPECT_EQ(EndProgram(*program), 0);
}

// The program as process 1 of a PID namespace of its own, as in a container.
std::unique_ptr<ChildProcess> StartAsProcessOne(const fs::path& work) {
  return std::make_unique<ChildProcess>(
      "/usr/bin/unshare",
      std::vector<std::string>{"--pid", "--fork", "--kill-child=SIGKILL", QUORVANE_PROGRAM_PATH},
      work.string());
}

TEST_F(LeftoversTest, KilledRunsBlockNeverRefusesALaterProcessWithTheSameId) {
  if (::geteuid() != 0) {
    GTEST_SKIP() << "needs root for a PID namespace of its own";
  }
  const fs::path block = "/dev/shm/FsasmLib:IPC:1:1";
  ASSERT_FALSE(fs::exists(block)) << "another process 1 runs a link";
  SimProcess sim({"--lat", "50.1", "--lon", "14.25", "--speed", "80"});
  ASSERT_TRUE(sim.WaitUntilReady());
  {
    auto killed = StartAsProcessOne(root / "work");
    ASSERT_TRUE(WaitFor([&] { return fs::exists(Aircraft()); }, 20000));
    killed->Signal(SIGKILL);  // and with it the program
    killed->Wait(5000);
  }
  ASSERT_TRUE(fs::exists(block)) << "the killed run's block is left behind";
  fs::remove(Aircraft());

  auto later = StartAsProcessOne(root / "work");
  EXPECT_TRUE(WaitFor([&] { return fs::exists(Aircraft()); }, 10000))
      << "process 1 again: the stale block is replaced and the link opens";
  struct stat live_block {};
  ASSERT_EQ(::stat(block.c_str(), &live_block), 0);

  // A second process 1 at the same time finds that block in use: refused, and the block stays.
  const fs::path other_documents = root / "other-documents";
  fs::create_directories(other_documents);
  fs::create_directories(root / "other-config");
  std::ofstream(root / "other-config" / "user-dirs.dirs")
      << "XDG_DOCUMENTS_DIR=\"" << other_documents.string() << "\"\n";
  ::setenv("XDG_CONFIG_HOME", (root / "other-config").c_str(), 1);
  fs::create_directories(root / "other-work");
  auto second = StartAsProcessOne(root / "other-work");
  ASSERT_TRUE(WaitFor([&] { return fs::exists(other_documents / "Quorvane live.kml"); }, 20000));
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_FALSE(fs::exists(other_documents / "letadlo.kml")) << "code 5: no link, no sample";
  struct stat after {};
  ASSERT_EQ(::stat(block.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, live_block.st_ino) << "the live block is the same object";

  second->Signal(SIGKILL);
  second->Wait(5000);
  later->Signal(SIGKILL);
  later->Wait(5000);
  fs::remove(block);
}

}  // namespace
}  // namespace quorvane
