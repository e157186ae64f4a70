#pragma once

// The main window's layout and texts, one table that every front-end reads: where each control
// stands and what it says, the status bar, the window's caption, place, size and font, and the
// texts of its messages. A control added here (a check box, the chart's area) is placed alike by
// every front-end.

#include <array>
#include <string>

namespace quorvane::layout {

// A rectangle in pixels within the window's client area.
struct Box {
  int left;
  int top;
  int width;
  int height;
  constexpr int Right() const { return left + width; }
};

// The window's controls, as the window's logic knows them.
enum class Control { AutoRun, Interval, Show, ViewerSelect, ThreeD, IntervalLabel };
enum class Kind { CheckBox, SpinBox, Button, Label };

// One control: its designed rectangle and text. A control whose text needs more room in the
// font at hand than its design gives it widens, but never past widen_limit (the left of its
// right-hand neighbour): no control ever runs into the next one.
struct ControlLayout {
  Control control;
  Kind kind;
  const char* name;  // the control's name in the stored settings and the program's description
  const char* text;  // caption, or the spin box's first text
  Box box;
  int widen_limit;  // 0: never widened
};

// The controls that take the focus come in tab order (AutoRun, the interval, Show, Google Earth
// Select, 3D), then the label, which takes none. "3D" stands right of "Show", in the room
// between the button and the window's right edge.
inline constexpr std::array<ControlLayout, 6> kControls = {{
    {Control::AutoRun, Kind::CheckBox, "CheckBox1", "AutoRun", {40, 13, 97, 17}, 176},
    {Control::Interval, Kind::SpinBox, "RxSpinEdit1", "60", {410, 11, 71, 21}, 0},
    {Control::Show, Kind::Button, "Button1", "Show", {484, 8, 75, 25}, 0},
    {Control::ViewerSelect,
     Kind::CheckBox,
     "CheckBox2",
     "Google Earth Select",
     {176, 16, 121, 17},
     336},
    {Control::ThreeD, Kind::CheckBox, "CheckBox3", "3D", {563, 13, 40, 17}, 605},
    {Control::IntervalLabel, Kind::Label, "Label1", "Interval sec.", {336, 16, 58, 13}, 408},
}};

// The control's row of kControls.
constexpr const ControlLayout& Layout(Control control) {
  for (const ControlLayout& row : kControls) {
    if (row.control == control) {
      return row;
    }
  }
  return kControls[0];  // not reached: every control has its row
}

// The window: caption, place on the screen and outer size (a classic frame of 4 pixels at the
// sides and bottom, 23 at the top, around a client area of 605 x 338), font.
inline constexpr const char* kCaption = "Quorvane";
inline constexpr int kLeft = 482;
inline constexpr int kTop = 254;
inline constexpr int kOuterWidth = 613;
inline constexpr int kOuterHeight = 365;
inline constexpr int kClientWidth = 605;
inline constexpr int kClientHeight = 338;
inline constexpr const char* kFontFace = "MS Sans Serif";
// Faces of the same look where that one is missing, best first.
inline constexpr std::array<const char*, 4> kFontFallbacks = {
    "Microsoft Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"};
inline constexpr int kFontPixelHeight = 11;

// The status bar along the bottom edge: three panels, the last reaching the right edge.
inline constexpr int kStatusBarHeight = 19;
inline constexpr std::array<int, 3> kPanelWidths = {120, 100, 200};
// The widest version text the first panel shows, for a front-end that sizes the panel to it.
inline constexpr const char* kWidestVersionText = "FSUIPC Version: 8.888w";

// The chart of the flight fills the client area below the controls and above the status bar,
// with a margin at either side.
inline constexpr int kChartTop = 40;  // below the tallest control (Show, to 33)
inline constexpr int kChartSideMargin = 6;
inline constexpr int kChartBottomGap = 4;  // above the status bar
// The chart's box in a client area client_width wide whose status bar begins at status_bar_top;
// none wide or high in a window too small for it.
constexpr Box ChartBox(int client_width, int status_bar_top) {
  const int width = client_width - 2 * kChartSideMargin;
  const int height = status_bar_top - kChartBottomGap - kChartTop;
  return {kChartSideMargin, kChartTop, width > 0 ? width : 0, height > 0 ? height : 0};
}

// --- Message texts ---

// The chart's text before the first fix: while no simulator has answered, and once one has.
inline constexpr const char* kChartWaitingForSimulator = "Waiting for a simulator...";
inline constexpr const char* kChartWaitingForPosition = "Waiting for the aircraft's position...";

// Follows the error when the route cannot be saved at close; the answer is yes or no.
inline constexpr const char* kCloseAnywayQuestion =
    "\n\nThe route could not be saved. Close anyway?";
// When the user's own folder cannot be entered (--user-folder), on the error stream and in a
// message box; why: the reason.
inline std::string UserFolderConsoleWarning(const std::string& why) {
  return "quorvane: " + why + "; the settings stay in the folder it was started from\n";
}
inline std::string UserFolderBoxWarning(const std::string& why) {
  return "Quorvane keeps its settings in the folder it was started from: " + why + ".";
}

}  // namespace quorvane::layout
