// The title the viewer rule reads on Linux: the X display's active window, as a window manager
// announces it on the root window, against a private Xvfb server.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/posix/platform_services_posix.h"
#include "app/viewer_rule.h"
#include "tests/support/private_x_server.h"

// Last: Xlib's macros (None, Status, ...) would clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace quorvane {
namespace {

TEST(X11ActiveWindow, NoDisplayMeansNoTitle) {
  ::unsetenv("DISPLAY");
  EXPECT_FALSE(X11ActiveWindowTitle());
}

TEST(X11ActiveWindow, TitleOfTheWindowTheWindowManagerNamesActive) {
  testing::PrivateXServer server("640x480x24");
  ASSERT_FALSE(server.display().empty()) << "Xvfb is needed (the xvfb package)";
  ::setenv("DISPLAY", server.display().c_str(), 1);
  Display* display = XOpenDisplay(server.display().c_str());
  ASSERT_NE(display, nullptr) << "cannot open " << server.display();
  const Window root = DefaultRootWindow(display);
  const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  const Atom net_name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const auto make_active = [&](const std::string& title, bool net_wm_name) {
    const Window window = XCreateSimpleWindow(display, root, 0, 0, 100, 100, 0, 0, 0);
    if (net_wm_name) {
      XChangeProperty(display, window, net_name, utf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(title.data()),
                      static_cast<int>(title.size()));
    } else {
      XStoreName(display, window, title.c_str());
    }
    XChangeProperty(display, root, active, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&window), 1);
    XSync(display, False);
    return window;
  };

  EXPECT_FALSE(X11ActiveWindowTitle()) << "no window manager has named one yet";
  make_active("Google Earth Pro", true);
  EXPECT_EQ(X11ActiveWindowTitle(), "Google Earth Pro");
  EXPECT_TRUE(TitleShowsViewer(X11ActiveWindowTitle()));
  make_active("google earth", false);
  EXPECT_EQ(X11ActiveWindowTitle(), "google earth") << "the older WM_NAME, when there is no other";
  make_active("My Google Earth", true);
  EXPECT_FALSE(TitleShowsViewer(X11ActiveWindowTitle()));
  // A window that has gone away since the window manager named it ends nothing.
  const Window gone = make_active("Google Earth", true);
  XDestroyWindow(display, gone);
  XSync(display, False);
  EXPECT_FALSE(X11ActiveWindowTitle());
  XCloseDisplay(display);
}

}  // namespace
}  // namespace quorvane
