#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "app/posix/platform_services_posix.h"

namespace quorvane {

namespace {

// A window that vanishes between the two look-ups must not end the program.
int IgnoreXErrors(Display*, XErrorEvent*) {
  return 0;
}

std::optional<std::string> TextProperty(Display* display, Window window, Atom property, Atom type) {
  Atom actual_type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  // At most 1024 32-bit units: far longer than the 119 characters the viewer rule looks at.
  if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actual_type, &format,
                         &count, &remaining, &data) != Success ||
      data == nullptr) {
    return std::nullopt;
  }
  std::optional<std::string> text;
  if (format == 8 && actual_type == type) {
    text = std::string(reinterpret_cast<const char*>(data), count);
  }
  XFree(data);
  return text;
}

}  // namespace

std::optional<std::string> X11ActiveWindowTitle() {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || name[0] == '\0') {
    return std::nullopt;  // Wayland without X, or no display at all
  }
  static Display* display = XOpenDisplay(name);
  if (display == nullptr) {
    return std::nullopt;
  }
  XSetErrorHandler(IgnoreXErrors);
  const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  Atom actual_type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, DefaultRootWindow(display), active, 0, 1, False, XA_WINDOW,
                         &actual_type, &format, &count, &remaining, &data) != Success ||
      data == nullptr) {
    return std::nullopt;
  }
  Window window = None;
  if (format == 32 && count == 1) {
    window = *reinterpret_cast<Window*>(data);
  }
  XFree(data);
  if (window == None) {
    return std::nullopt;
  }
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  auto title = TextProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8);
  if (!title) {
    title = TextProperty(display, window, XA_WM_NAME, XA_STRING);
  }
  return title;
}

}  // namespace quorvane
