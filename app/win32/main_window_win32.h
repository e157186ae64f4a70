#pragma once

#include <windows.h>

#include <map>

#include "app/app_timer.h"
#include "app/main_view.h"
#include "app/settings/window_placement.h"
#include "app/window_layout.h"

namespace quorvane {

class TForm1;

// The main window in plain Win32: controls at their designed places, the four timers as window
// timers, errors in message boxes. It turns window messages into calls of the window's logic
// and shows what the logic tells it; it also gives the stored settings the window's placement.
class MainWindowWin32 final : public MainView, public PlacementWindow {
 public:
  // Registers the class and creates the window, hidden, with its controls.
  explicit MainWindowWin32(HINSTANCE instance);
  ~MainWindowWin32() override;
  MainWindowWin32(const MainWindowWin32&) = delete;
  MainWindowWin32& operator=(const MainWindowWin32&) = delete;

  void Attach(TForm1& form) { form_ = &form; }
  HWND Handle() const { return window_; }
  TimerBackend& UpdateTimer() { return update_timer_; }
  TimerBackend& RetryTimer() { return retry_timer_; }
  TimerBackend& ChartTimer() { return chart_timer_; }
  TimerBackend& LiveTimer() { return live_timer_; }
  // Shows the window in the state the settings left it in, and runs the message loop until the
  // window is gone. Returns the exit status.
  int Run();

  // MainView
  void ShowPanelText(int panel, const std::string& text) override;
  void ShowButtonEnabled(bool enabled) override;
  void ShowAutoRun(bool checked) override;
  void ShowViewerSelect(bool checked) override;
  void ShowThreeD(bool checked) override;
  void ShowIntervalText(const std::string& text) override;
  // Invalidates the chart's area, without erasing it: WM_PAINT paints it whole, off-screen first.
  void RedrawChart() override;
  // Also while the link waits for the server between its attempts, so that a close or the end
  // of the session is taken at once and the window repaints.
  void ProcessPendingMessages() override;
  void ShowError(const std::string& message) override;
  bool AskCloseAnyway(const std::string& message) override;
  // Ends the thread's message boxes (owned by this window) as though cancelled.
  void DismissBoxes() override;
  // To the debugger's output.
  void LogError(const std::string& message) override;
  // Closes the window (its close handling has run: nothing is asked) and so ends the loop.
  void EndProgram() override;

  // PlacementWindow
  WindowPlacement GetPlacement() override;
  void SetPlacement(const WindowPlacement& placement) override;
  bool IsVisible() override { return IsWindowVisible(window_) != FALSE; }
  void SetState(WindowState state) override;
  void PostMinimizeApplication() override;
  bool ApplicationMinimized() override { return IsIconic(window_) != FALSE; }
  int PixelsPerInch() override;
  Point PrimaryScreenSize() override;
  Point FrameThickness() override;
  std::vector<Rect> Screens() override;

 private:
  class WindowTimer final : public TimerBackend {
   public:
    WindowTimer(HWND& window, UINT_PTR id) : window_(window), id_(id) {}
    void Start(int period_ms) override {
      SetTimer(window_, id_, static_cast<UINT>(period_ms), nullptr);
    }
    void Stop() override { KillTimer(window_, id_); }

   private:
    HWND& window_;
    UINT_PTR id_;
  };

  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK EditProcedure(HWND edit, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  // Widens a control from its designed box to its text (plus extra pixels for a check box's
  // box), up to limit pixels.
  void FitText(HWND control, const layout::Box& box, int extra, int limit);
  bool Dispatch(MSG& message);
  // The chart's rectangle in the client area: below the controls, above the status bar.
  RECT ChartRect() const;
  // Paints the chart from the logic's chart into its rectangle of context (WM_PAINT, and
  // WM_PRINTCLIENT for those that print the window, such as PrintWindow).
  void PaintChartArea(HDC context);
  // Fills the client area but the chart's rectangle with the window's background, so that the
  // chart is never erased before it is painted (WM_ERASEBKGND).
  void EraseAroundChart(HDC context);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  std::map<layout::Control, HWND> controls_;
  HWND check_box1_ = nullptr;
  HWND check_box2_ = nullptr;
  HWND check_box3_ = nullptr;
  HWND label1_ = nullptr;
  HWND rx_spin_edit1_ = nullptr;
  HWND up_down_ = nullptr;
  HWND button1_ = nullptr;
  HWND status_bar1_ = nullptr;
  WNDPROC edit_procedure_ = nullptr;
  bool showing_interval_ = false;  // the program, not the user, is changing the box's text
  TForm1* form_ = nullptr;
  WindowTimer update_timer_;
  WindowTimer retry_timer_;
  WindowTimer chart_timer_;
  WindowTimer live_timer_;
};

}  // namespace quorvane
