// The program itself, off-screen, against the stand-ins for X-Plane and FlightGear: found where
// the settings file or the command line says, named in the status bar, followed into
// letadlo.kml and trasa.kml, given up on while silent and found again.

#include <csignal>
#include <string>
#include <vector>

#include "net/socket_services.h"
#include "tests/e2e/program_desktop.h"

namespace quorvane {
namespace {

using namespace testing;

// A UDP port free on the loopback address just now, so that tests running at once, and any
// simulator on this computer, never meet.
std::string FreePort() {
  net::SocketServices& sockets = net::PlatformSocketServices();
  std::string error;
  const auto socket = sockets.OpenUdp({net::kLoopbackAddress, 0}, error);
  net::Endpoint local;
  sockets.LocalEndpoint(socket, local);
  sockets.Close(socket);
  return std::to_string(local.port);
}

class ProgramOnOtherSimulators : public ProgramDesktop {
 protected:
  void SetUp() override {
    ProgramDesktop::SetUp();
    log_ = root / "status.log";
  }

  std::unique_ptr<ChildProcess> StartXPlane(std::vector<std::string> more) {
    const std::string ready = (root / "xplane-ready").string();
    std::vector<std::string> arguments = {"--port", xplane_port_, "--ready-file", ready};
    arguments.insert(arguments.end(), more.begin(), more.end());
    auto xplane = std::make_unique<ChildProcess>(FAKE_XPLANE_PATH, arguments, root.string());
    EXPECT_TRUE(WaitFor([&] { return fs::exists(ready); }, 10000));
    return xplane;
  }
  std::unique_ptr<ChildProcess> StartFlightGear(std::vector<std::string> more) {
    std::vector<std::string> arguments = {"--port", flightgear_port_};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return std::make_unique<ChildProcess>(FAKE_FLIGHTGEAR_PATH, arguments, root.string());
  }
  std::unique_ptr<ChildProcess> Start(std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"--status-log", log_.string()});
    return std::make_unique<ChildProcess>(QUORVANE_PROGRAM_PATH, arguments,
                                          (root / "work").string());
  }
  // Waits until the status bar has shown `text` in `panel` `times` times in all.
  bool Shown(int panel, const std::string& text, int times = 1, int timeout_ms = 30000) {
    const std::string line = std::to_string(panel) + "\t" + text;
    return WaitFor(
        [&] {
          int count = 0;
          for (const std::string& shown : ReadLines(log_.string())) {
            count += shown == line;
          }
          return count >= times;
        },
        timeout_ms);
  }
  std::string Coordinates() {
    const std::string text = Read(Aircraft());
    const auto start = text.find("<coordinates>");
    return start == std::string::npos ? "" : text.substr(start, text.find('<', start + 1) - start);
  }

  std::string xplane_port_ = FreePort();
  std::string flightgear_port_ = FreePort();
  fs::path log_;
};

TEST_F(ProgramOnOtherSimulators, FollowsXPlaneFoundThroughTheSettingsFile) {
  auto xplane = StartXPlane(
      {"--lat", "50.1", "--lon", "14.25", "--heading", "90", "--magvar", "10", "--speed", "80"});
  const std::string settings = "[Simulators]\r\nXPlanePort=" + xplane_port_ +
                               "\r\nFlightGearPort=0\r\n[TForm1]\r\nRxSpinEdit1_Value=10\r\n";
  std::ofstream(root / "work" / "quorvane.INI", std::ios::binary) << settings;
  auto program = Start({});
  ASSERT_TRUE(Shown(0, "X-Plane 12.1.0")) << Read(log_);
  EXPECT_TRUE(Shown(1, "Connect: Okay"));
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Aircraft()); }, 10000));
  const std::string first = Coordinates();
  EXPECT_EQ(first.rfind("<coordinates>14.2", 0), 0u) << first;
  // Ten seconds later, 800 m further east.
  EXPECT_TRUE(WaitFor([&] { return Coordinates() != first; }, 30000)) << first;

  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(20000), 0);
  const std::string route = Read(Route());
  EXPECT_GE(Count(route, ",50.1"), 2) << "the route grew at 80 m/s:\n" << route;
  // The section is the user's: kept as written, the window's own keys saved beside it.
  const std::string saved = Read(root / "work" / "quorvane.INI");
  EXPECT_EQ(
      saved.rfind("[Simulators]\r\nXPlanePort=" + xplane_port_ + "\r\nFlightGearPort=0\r\n", 0), 0u)
      << saved;
}

TEST_F(ProgramOnOtherSimulators, FlightGearThatFallsSilentFailsTheSampleAndIsFoundAgain) {
  std::ofstream(root / "work" / "quorvane.INI", std::ios::binary)
      << "[TForm1]\r\nRxSpinEdit1_Value=10\r\n";
  // Two seconds of a real flight, then twenty of silence, then the flight goes on.
  auto flightgear = StartFlightGear({"--replay", QUORVANE_FLIGHTGEAR_RECORDING, "--version",
                                     "2020.3.16", "--pause-after", "10", "--pause", "20"});
  auto program = Start({"--xplane-port", "0", "--flightgear-port", flightgear_port_});
  ASSERT_TRUE(Shown(0, "FlightGear 2020.3.16")) << Read(log_);
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Aircraft()); }, 10000));
  const std::string first = Coordinates();
  EXPECT_EQ(first.rfind("<coordinates>-157.93", 0), 0u) << first;

  EXPECT_TRUE(Shown(2, "Reading: FlightGear stopped sending")) << Read(log_);
  EXPECT_EQ(Coordinates(), first) << "no old position written as current";
  EXPECT_TRUE(Shown(1, "Connect: Cannot link to FSUIPC or WideClient")) << Read(log_);
  // The retries find it once it sends again, and the aircraft has moved on meanwhile.
  EXPECT_TRUE(Shown(1, "Connect: Okay", 2, 40000)) << Read(log_);
  EXPECT_TRUE(WaitFor([&] { return Coordinates() != first; }, 10000));

  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(20000), 0);
}

TEST_F(ProgramOnOtherSimulators, FlightGearFromAnotherAddressIsIgnored) {
  auto flightgear = StartFlightGear({"--from", "127.0.0.2", "--version", "2020.3.16"});
  auto program = Start({"--xplane-port", "0", "--flightgear-port", flightgear_port_,
                        "--flightgear-host", "127.0.0.1"});
  // The opening at start-up and two retries find nothing.
  EXPECT_TRUE(Shown(1, "Connect: Cannot link to FSUIPC or WideClient", 3)) << Read(log_);
  EXPECT_FALSE(fs::exists(Aircraft()));
  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(20000), 0);
}

}  // namespace
}  // namespace quorvane
