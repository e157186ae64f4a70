// The native Windows window, run under Wine in CI: where its controls stand, and the end of the
// session while an error box waits for the user.

#include "app/win32/main_window_win32.h"

#include <commctrl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>

#include "app/main_form.h"
#include "app/window_layout.h"
#include "chart/chart_style.h"
#include "files/platform_files.h"
#include "kml/document_set.h"
#include "tests/app/fake_form_services.h"
#include "tests/support/fake_link_services.h"

namespace quorvane {
namespace {

using namespace testing;

// A fresh folder under the temporary folder, removed afterwards with what it holds.
class Folder {
 public:
  Folder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    path_ = std::string(base) + "quorvane-window-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~Folder() {
    for (const char* name :
         {"letadlo.kml", "trasa.kml", "trasa.gpx", "Quorvane live.kml", "Quorvane view.kml"}) {
      DeleteFileA((path_ + "\\" + name).c_str());
    }
    RemoveDirectoryA(path_.c_str());
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A control of the window by its class and text, and its rectangle in the client area.
HWND Control(HWND window, const char* window_class, const char* text) {
  return FindWindowExA(window, nullptr, window_class, text);
}
RECT ClientRect(HWND window, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST(Win32Window, ControlsStandWhereTheWindowWasDesigned) {
  MainWindowWin32 window(GetModuleHandleA(nullptr));
  HWND main = window.Handle();
  char caption[32] = {};
  GetWindowTextA(main, caption, sizeof caption);
  EXPECT_STREQ(caption, "Quorvane");
  RECT outer{};
  GetWindowRect(main, &outer);
  EXPECT_EQ(outer.right - outer.left, 613);
  EXPECT_EQ(outer.bottom - outer.top, 365);

  HWND auto_run = Control(main, "BUTTON", "AutoRun");
  HWND select = Control(main, "BUTTON", "Google Earth Select");
  HWND label = Control(main, "STATIC", "Interval sec.");
  HWND interval = Control(main, "EDIT", nullptr);  // an edit keeps its text to itself
  HWND show = Control(main, "BUTTON", "Show");
  HWND three_d = Control(main, "BUTTON", "3D");
  ASSERT_NE(three_d, nullptr);
  ASSERT_NE(auto_run, nullptr);
  ASSERT_NE(select, nullptr);
  ASSERT_NE(label, nullptr);
  ASSERT_NE(interval, nullptr);
  ASSERT_NE(show, nullptr);
  struct Case {
    HWND control;
    LONG left, top, width, height;  // as designed; a text may widen a control
  };
  for (const Case& c :
       {Case{auto_run, 40, 13, 97, 17}, Case{select, 176, 16, 121, 17},
        Case{label, 336, 16, 58, 13}, Case{show, 484, 8, 75, 25}, Case{three_d, 563, 13, 40, 17}}) {
    const RECT at = ClientRect(main, c.control);
    EXPECT_EQ(at.left, c.left) << c.left;
    EXPECT_EQ(at.top, c.top) << c.left;
    EXPECT_GE(at.right - at.left, c.width) << c.left;
    EXPECT_EQ(at.bottom - at.top, c.height) << c.left;
  }
  EXPECT_EQ(ClientRect(main, interval).left, 410);
  EXPECT_EQ(ClientRect(main, interval).top, 11);
  // Controls widened for the font never run into their neighbours.
  EXPECT_LE(ClientRect(main, auto_run).right, 176);
  EXPECT_LE(ClientRect(main, select).right, 336);
  EXPECT_LE(ClientRect(main, label).right, 410);
  EXPECT_LE(ClientRect(main, three_d).right, 605);
  // Tab order: AutoRun, the interval, Show, Google Earth Select, 3D.
  EXPECT_EQ(GetNextDlgTabItem(main, auto_run, FALSE), interval);
  EXPECT_EQ(GetNextDlgTabItem(main, interval, FALSE), show);
  EXPECT_EQ(GetNextDlgTabItem(main, show, FALSE), select);
  EXPECT_EQ(GetNextDlgTabItem(main, select, FALSE), three_d);
  // The status bar's panels: 120 and 100 wide, the last to the right edge.
  HWND status_bar = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  ASSERT_TRUE(status_bar);
  int edges[4] = {};
  ASSERT_EQ(SendMessageA(status_bar, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
  EXPECT_EQ(edges[0], 120);
  EXPECT_EQ(edges[1], 220);
  EXPECT_EQ(edges[2], -1);
}

// The window with its logic over fakes, its documents in a folder of its own.
struct WindowWithForm {
  WindowWithForm() {
    platform.documents_folder = folder.path();
    services.PutServerWords();
    window.Attach(form);
  }
  // The window goes while its logic is still there to take its destruction.
  ~WindowWithForm() {
    if (IsWindow(window.Handle())) {
      DestroyWindow(window.Handle());
    }
  }
  Folder folder;
  MainWindowWin32 window{GetModuleHandleA(nullptr)};
  FakePlatform platform;
  FakeDecimalSeparator decimal;
  FakeLinkServices services;
  FsuipcLink link{services};
  FsuipcOnlyLink simulator{link};
  DocumentSet documents{PlatformFileSystem()};
  TForm1 form{FormContext{window,
                          platform,
                          decimal,
                          simulator,
                          documents.kml,
                          window.UpdateTimer(),
                          window.RetryTimer(),
                          window.ChartTimer(),
                          {},
                          documents.live_view,
                          documents.track,
                          documents.recorder,
                          [] { return std::chrono::system_clock::now(); },
                          services.interrupt,
                          documents.earlier_runs}};
};

// The client area's pixels of the colour as the window prints itself: within the chart's
// rectangle, and outside it.
std::pair<int, int> CountColour(HWND window, ChartColour colour) {
  RECT client{};
  GetClientRect(window, &client);
  const RECT status_bar =
      ClientRect(window, FindWindowExA(window, nullptr, STATUSCLASSNAMEA, nullptr));
  const layout::Box box = layout::ChartBox(client.right, status_bar.top);
  HDC context = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {
      sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(context, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(context, bitmap);
  SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(context), PRF_CLIENT);
  GdiFlush();
  std::pair<int, int> count;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      if ((static_cast<const std::uint32_t*>(bits)[y * client.right + x] & 0xFFFFFF) ==
          RGB(colour.blue, colour.green, colour.red)) {  // a DIB's pixels are 0x00RRGGBB
        const bool inside =
            x >= box.left && x < box.Right() && y >= box.top && y < box.top + box.height;
        ++(inside ? count.first : count.second);
      }
    }
  }
  SelectObject(context, previous);
  DeleteObject(bitmap);
  DeleteDC(context);
  return count;
}

// The chart fills the area between the controls and the status bar at any size, and the
// aircraft appears on it with the first fix.
TEST(Win32Window, ChartShowsTheAircraftBetweenTheControlsAndTheStatusBar) {
  WindowWithForm w;
  HWND main = w.window.Handle();
  EXPECT_EQ(CountColour(main, chart_style::kAircraftFill).first, 0);
  w.form.OnCreate();  // the first fix
  EXPECT_GT(CountColour(main, chart_style::kAircraftFill).first, 20);
  const auto ground = CountColour(main, chart_style::kBackground);
  EXPECT_GT(ground.first, 100000);
  EXPECT_EQ(ground.second, 0) << "nothing of the chart over the controls or the status bar";
  SetWindowPos(main, nullptr, 0, 0, 900, 600, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_GT(CountColour(main, chart_style::kBackground).first, ground.first * 2);
}

TEST(Win32Window, EndOfTheSessionDuringAnErrorBoxEndsItAndClosesTheWindow) {
  WindowWithForm w;
  MainWindowWin32& window = w.window;
  TForm1& form = w.form;
  const Folder& folder = w.folder;
  form.OnCreate();
  ASSERT_FALSE(form.Closed());

  // The box's own message loop takes the end of the session: the box goes, the close handling
  // runs without a question, and the window is asked to close.
  PostMessageA(window.Handle(), WM_ENDSESSION, TRUE, 0);
  const auto shown = std::chrono::steady_clock::now();
  window.ShowError("Cannot create file \"letadlo.kml\". Access is denied");
  // A box left waiting for the user would never return; the bound is generous because Wine
  // alone takes about four seconds here on a loaded machine.
  EXPECT_LT(std::chrono::steady_clock::now() - shown, std::chrono::seconds(20));
  EXPECT_TRUE(IsWindow(window.Handle())) << "the box was ended, not taken down with the window";
  EXPECT_TRUE(form.Closed());
  EXPECT_NE(GetFileAttributesA((folder.path() + "\\trasa.kml").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(window.Run(), 0) << "the message loop ends once the window has closed";
}

}  // namespace
}  // namespace quorvane
