// A termination request or a close ends the real program within seconds in every state: while
// an error box waits for the user (before the event loop, in it, during the close handling) and
// while the link waits for a simulator that hangs. The close handling runs once, asks nothing,
// and saves the route.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "tests/e2e/program_desktop.h"
#include "tests/support/private_x_server.h"

// Last: Xlib's macros (None, Status, ...) would clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace quorvane {
namespace {

using namespace testing;
using Clock = std::chrono::steady_clock;

// How soon a termination request or a close must have ended the program.
constexpr int kEndWithinMs = 2000;

class TerminationTest : public ProgramDesktop {
 protected:
  void SetUp() override {
    ProgramDesktop::SetUp();
    SetInterval(10);
  }
  // Asks the program to end, and expects it gone within kEndWithinMs with status 0 and a whole
  // route file.
  void ExpectEndsAtOnce(ChildProcess& program, int signal_number = SIGTERM) {
    program.Signal(signal_number);
    const auto asked = Clock::now();
    EXPECT_EQ(program.Wait(kEndWithinMs), 0) << "still running (-2) or killed (-1)";
    EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(kEndWithinMs + 200));
    EXPECT_TRUE(Whole(Read(Route()))) << Read(Route());
  }
  bool RouteHolds(const std::string& tuple) const {
    return Read(Route()).find(tuple) != std::string::npos;
  }
};

TEST_F(TerminationTest, ErrorBoxAtStartUpNeverHoldsUpTheEnd) {
  // "letadlo.kml" cannot be saved: the first update, before the event loop, shows a box.
  fs::create_directory(Aircraft());
  SimProcess sim({"--lat", "50.1", "--lon", "14.25", "--speed", "80"});
  ASSERT_TRUE(sim.WaitUntilReady());
  auto program = StartProgram();
  ASSERT_TRUE(WaitFor([&] { return RouteHolds("14.250000,50.100000,0 "); }, 20000));
  std::this_thread::sleep_for(std::chrono::seconds(1));  // the box is up
  ExpectEndsAtOnce(*program);
  EXPECT_TRUE(RouteHolds("<coordinates>14.250000,50.100000,0 </coordinates>"));
}

TEST_F(TerminationTest, ErrorBoxOfARetryInTheEventLoopNeverHoldsUpTheEnd) {
  fs::create_directory(Aircraft());
  auto program = StartProgram();  // no simulator yet: the retrying begins, every 5 s
  std::this_thread::sleep_for(std::chrono::seconds(1));
  SimProcess sim({"--lat", "50.1", "--lon", "14.25", "--speed", "80"});
  ASSERT_TRUE(sim.WaitUntilReady());
  // A retry connects and updates, and the failed save shows its box from the event loop.
  ASSERT_TRUE(WaitFor([&] { return RouteHolds("14.250000,50.100000,0 "); }, 10000));
  std::this_thread::sleep_for(std::chrono::seconds(1));
  ExpectEndsAtOnce(*program, SIGINT);
}

TEST_F(TerminationTest, FailedSettingsSaveDuringTheCloseHandlingAsksNothing) {
  // The settings file cannot be replaced: the close handling's save reports an error.
  fs::remove(root / "work" / "quorvane.INI");
  fs::create_directory(root / "work" / "quorvane.INI");
  SimProcess sim({"--lat", "50.1", "--lon", "14.25", "--speed", "80"});
  ASSERT_TRUE(sim.WaitUntilReady());
  auto program = StartProgram();
  ASSERT_TRUE(WaitFor([&] { return fs::exists(Aircraft()); }, 20000));
  ExpectEndsAtOnce(*program);
  EXPECT_TRUE(RouteHolds("<coordinates>14.250000,50.100000,0 </coordinates>"));
  EXPECT_TRUE(fs::is_directory(root / "work" / "quorvane.INI"));
}

TEST_F(TerminationTest, HungHandshakeAtStartUpNeverHoldsUpTheEnd) {
  SimProcess sim({"--hang"});
  ASSERT_TRUE(sim.WaitUntilReady());
  auto program = StartProgram();
  ASSERT_TRUE(WaitFor([&] { return fs::exists(documents / "Quorvane live.kml"); }, 20000));
  std::this_thread::sleep_for(std::chrono::seconds(3));  // in the handshake's first attempts
  ExpectEndsAtOnce(*program);
  EXPECT_TRUE(RouteHolds("<coordinates></coordinates>"));
}

TEST_F(TerminationTest, SimulatorFrozenMidFlightNeverHoldsUpTheEnd) {
  SimProcess sim({"--lat", "50.1", "--lon", "14.25", "--speed", "80"});
  ASSERT_TRUE(sim.WaitUntilReady());
  auto program = StartProgram();
  ASSERT_TRUE(WaitFor([&] { return RouteHolds("14.250000,50.100000,0 "); }, 20000));
  sim.Signal(SIGSTOP);  // frozen: it neither answers nor goes away
  // The next update (10 s after the first) waits for the frozen simulator.
  std::this_thread::sleep_for(std::chrono::seconds(12));
  ExpectEndsAtOnce(*program);
  EXPECT_TRUE(RouteHolds("<coordinates>14.250000,50.100000,0 </coordinates>"));
}

// Asks the top-level window titled `title` to close, as a window manager's close button does
// (WM_DELETE_WINDOW). False when there is no such window.
bool CloseWindowTitled(const std::string& display_name, const std::string& title) {
  Display* display = XOpenDisplay(display_name.c_str());
  if (display == nullptr) {
    return false;
  }
  bool sent = false;
  ::Window root = DefaultRootWindow(display);
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned int count = 0;
  if (XQueryTree(display, root, &root, &parent, &children, &count) != 0) {
    for (unsigned int i = 0; i < count && !sent; ++i) {
      char* name = nullptr;
      if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
        if (title == name) {
          XEvent event{};
          event.xclient.type = ClientMessage;
          event.xclient.window = children[i];
          event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
          event.xclient.format = 32;
          event.xclient.data.l[0] =
              static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
          event.xclient.data.l[1] = CurrentTime;
          sent = XSendEvent(display, children[i], False, NoEventMask, &event) != 0;
        }
        XFree(name);
      }
    }
    XFree(children);
  }
  XCloseDisplay(display);
  return sent;
}

TEST_F(TerminationTest, WindowClosedWhileTheLinkWaitsClosesAtOnce) {
  PrivateXServer x_server;
  ASSERT_FALSE(x_server.display().empty()) << "Xvfb did not start";
  ::setenv("DISPLAY", x_server.display().c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  auto program = StartProgram();  // no simulator yet: the retrying begins, every 5 s
  ASSERT_TRUE(WaitFor([&] { return fs::exists(documents / "Quorvane live.kml"); }, 20000));
  SimProcess sim({"--hang"});
  ASSERT_TRUE(sim.WaitUntilReady());
  // The next retry (within 5 s) finds the server and waits in its handshake.
  std::this_thread::sleep_for(std::chrono::milliseconds(6500));
  ASSERT_TRUE(program->Running());
  ASSERT_TRUE(CloseWindowTitled(x_server.display(), "Quorvane"));
  const auto asked = Clock::now();
  EXPECT_EQ(program->Wait(kEndWithinMs), 0) << "still running (-2) or killed (-1)";
  EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(kEndWithinMs + 200));
  EXPECT_TRUE(RouteHolds("<coordinates></coordinates>"));
  EXPECT_NE(Read(root / "work" / "quorvane.INI").find("RxSpinEdit1_Value=10\r\n"),
            std::string::npos)
      << "the settings saved by the close handling";
}

}  // namespace
}  // namespace quorvane
