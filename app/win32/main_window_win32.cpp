#include "app/win32/main_window_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "app/interval_box.h"
#include "app/main_form.h"
#include "app/window_layout.h"
#include "chart/chart_builder.h"
#include "chart/win32/chart_painter_win32.h"

namespace quorvane {

namespace {

constexpr const char* kClassName = "TForm1";
constexpr UINT_PTR kUpdateTimerId = 1;
constexpr UINT_PTR kRetryTimerId = 2;
constexpr UINT_PTR kChartTimerId = 3;
constexpr UINT_PTR kLiveTimerId = 4;
// A control's id is its row in the layout table from here on.
constexpr int kFirstControlId = 101;
constexpr int kUpDownId = 201;
constexpr int kStatusBarId = 202;

constexpr int ControlId(layout::Control control) {
  for (std::size_t row = 0; row < layout::kControls.size(); ++row) {
    if (layout::kControls[row].control == control) {
      return kFirstControlId + static_cast<int>(row);
    }
  }
  return 0;
}

// The window class and style of a control of the kind.
struct ControlClass {
  const char* name;
  DWORD style;
  int text_extra;  // pixels beside the text, the check box's box
};

ControlClass ClassOf(layout::Kind kind) {
  switch (kind) {
    case layout::Kind::CheckBox:
      return {"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 16};
    case layout::Kind::SpinBox:
      return {"EDIT", WS_BORDER | ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, 0};
    case layout::Kind::Button:
      return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case layout::Kind::Label:
      return {"STATIC", SS_LEFTNOWORDWRAP, 0};
  }
  return {"STATIC", 0, 0};
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

Rect ToRect(const RECT& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

// Ends one message box of the thread owned by the window given as data.
BOOL CALLBACK EndOwnedBox(HWND box, LPARAM owner) {
  char name[16] = {};
  GetClassNameA(box, name, sizeof name);
  if (std::string(name) == "#32770" && GetWindow(box, GW_OWNER) == reinterpret_cast<HWND>(owner)) {
    EndDialog(box, IDCANCEL);
  }
  return TRUE;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto* screens = reinterpret_cast<std::vector<Rect>*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
      screens->insert(screens->begin(), ToRect(info.rcWork));
    } else {
      screens->push_back(ToRect(info.rcWork));
    }
  }
  return TRUE;
}

}  // namespace

MainWindowWin32::MainWindowWin32(HINSTANCE instance)
    : instance_(instance),
      update_timer_(window_, kUpdateTimerId),
      retry_timer_(window_, kRetryTimerId),
      chart_timer_(window_, kChartTimerId),
      live_timer_(window_, kLiveTimerId) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);

  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  // The program's icon, resource 1 of the .exe (packaging/windows/version.rc.in); Windows takes
  // the small one for the title bar from the same resource.
  window_class.hIcon = LoadIcon(instance, MAKEINTRESOURCE(1));
  if (window_class.hIcon == nullptr) {
    window_class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  }
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassExA(&window_class);

  window_ = CreateWindowExA(0, kClassName, layout::kCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            layout::kLeft, layout::kTop, layout::kOuterWidth, layout::kOuterHeight,
                            nullptr, nullptr, instance, this);
  if (window_ == nullptr) {
    throw std::runtime_error("Cannot create the main window");
  }
  CreateControls();
}

MainWindowWin32::~MainWindowWin32() {
  if (window_ != nullptr) {
    DestroyWindow(window_);
  }
  if (font_ != nullptr) {
    DeleteObject(font_);
  }
}

void MainWindowWin32::CreateControls() {
  font_ = CreateFontA(-layout::kFontPixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_SWISS, layout::kFontFace);
  const auto make = [this](const char* window_class, const char* text, DWORD style,
                           const layout::Box& box, int id) {
    HWND control = CreateWindowExA(0, window_class, text, WS_CHILD | WS_VISIBLE | style, box.left,
                                   box.top, box.width, box.height, window_,
                                   reinterpret_cast<HMENU>(INT_PTR{id}), instance_, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
  };
  // Created in the table's order, which is the tab order.
  for (const layout::ControlLayout& row : layout::kControls) {
    const ControlClass control_class = ClassOf(row.kind);
    HWND control =
        make(control_class.name, row.text, control_class.style, row.box, ControlId(row.control));
    controls_[row.control] = control;
    if (row.kind == layout::Kind::SpinBox) {
      // The arrows beside the box.
      up_down_ = make(UPDOWN_CLASSA, "", UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                      {0, 0, 0, 0}, kUpDownId);
      SendMessageA(up_down_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control), 0);
      SendMessageA(up_down_, UDM_SETRANGE32, IntervalBox::kMinimum, IntervalBox::kMaximum);
    }
    // Where the font at hand is wider than the one the layout was made for, the texts widen
    // their controls rather than being cut, up to the control's limit.
    if (row.widen_limit > 0) {
      FitText(control, row.box, control_class.text_extra, row.widen_limit - row.box.left);
    }
  }
  check_box1_ = controls_[layout::Control::AutoRun];
  check_box2_ = controls_[layout::Control::ViewerSelect];
  check_box3_ = controls_[layout::Control::ThreeD];
  rx_spin_edit1_ = controls_[layout::Control::Interval];
  button1_ = controls_[layout::Control::Show];

  status_bar1_ = make(STATUSCLASSNAMEA, "", SBARS_SIZEGRIP, {0, 0, 0, 0}, kStatusBarId);
  // The panels' right edges; the last one reaches the right edge of the window.
  int edges[layout::kPanelWidths.size()] = {};
  int right = 0;
  for (std::size_t i = 0; i < layout::kPanelWidths.size(); ++i) {
    right += layout::kPanelWidths[i];
    edges[i] = i + 1 == layout::kPanelWidths.size() ? -1 : right;
  }
  SendMessageA(status_bar1_, SB_SETPARTS, layout::kPanelWidths.size(),
               reinterpret_cast<LPARAM>(edges));

  // Typing is filtered and followed in the edit itself.
  SetWindowLongPtrA(rx_spin_edit1_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  edit_procedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(rx_spin_edit1_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProcedure)));
}

void MainWindowWin32::FitText(HWND control, const layout::Box& box, int extra, int limit) {
  HDC context = GetDC(control);
  HGDIOBJ previous = SelectObject(context, font_);
  const std::string text = WindowText(control);
  SIZE size{};
  GetTextExtentPoint32A(context, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(context, previous);
  ReleaseDC(control, context);
  const int needed = std::min(size.cx + extra + 2, static_cast<LONG>(limit));
  if (needed > box.width) {
    SetWindowPos(control, nullptr, 0, 0, needed, box.height, SWP_NOMOVE | SWP_NOZORDER);
  }
}

LRESULT CALLBACK MainWindowWin32::WindowProcedure(HWND window, UINT message, WPARAM wparam,
                                                  LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MainWindowWin32*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self == nullptr || self->form_ == nullptr) {
    return DefWindowProcA(window, message, wparam, lparam);
  }
  return self->Handle(message, wparam, lparam);
}

LRESULT CALLBACK MainWindowWin32::EditProcedure(HWND edit, UINT message, WPARAM wparam,
                                                LPARAM lparam) {
  auto* self = reinterpret_cast<MainWindowWin32*>(GetWindowLongPtrA(edit, GWLP_USERDATA));
  if (message == WM_CHAR && wparam >= 32 &&
      (wparam > 127 || !IntervalBox::AcceptsCharacter(static_cast<char>(wparam)))) {
    MessageBeep(0);
    return 0;  // refused
  }
  return CallWindowProcA(self->edit_procedure_, edit, message, wparam, lparam);
}

LRESULT MainWindowWin32::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const int code = HIWORD(wparam);
      constexpr int kAutoRunId = ControlId(layout::Control::AutoRun);
      constexpr int kViewerSelectId = ControlId(layout::Control::ViewerSelect);
      constexpr int kThreeDId = ControlId(layout::Control::ThreeD);
      constexpr int kShowId = ControlId(layout::Control::Show);
      constexpr int kIntervalId = ControlId(layout::Control::Interval);
      if (id == kAutoRunId && code == BN_CLICKED) {
        form_->OnAutoRunClicked(SendMessageA(check_box1_, BM_GETCHECK, 0, 0) == BST_CHECKED);
      } else if (id == kViewerSelectId && code == BN_CLICKED) {
        form_->OnViewerSelectClicked(SendMessageA(check_box2_, BM_GETCHECK, 0, 0) == BST_CHECKED);
      } else if (id == kThreeDId && code == BN_CLICKED) {
        form_->OnThreeDClicked(SendMessageA(check_box3_, BM_GETCHECK, 0, 0) == BST_CHECKED);
      } else if (id == kShowId && code == BN_CLICKED) {
        form_->OnShowButtonClicked();
      } else if (id == kIntervalId && code == EN_CHANGE && !showing_interval_) {
        form_->OnIntervalTyped(WindowText(rx_spin_edit1_));
      } else if (id == kIntervalId && code == EN_KILLFOCUS) {
        form_->OnIntervalFocusLost();
      }
      return 0;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header->idFrom == kUpDownId && header->code == UDN_DELTAPOS) {
        // The logic steps the value; the control's own arithmetic is not wanted.
        form_->OnIntervalStep(reinterpret_cast<NMUPDOWN*>(lparam)->iDelta > 0 ? 1 : -1);
        return 1;
      }
      break;
    }
    case WM_TIMER:
      if (wparam == kUpdateTimerId) {
        form_->OnUpdateTimerTick();
      } else if (wparam == kRetryTimerId) {
        form_->OnRetryTimerTick();
      } else if (wparam == kChartTimerId) {
        form_->OnChartTimerTick();
      } else if (wparam == kLiveTimerId) {
        form_->OnLiveTimerTick();
      }
      return 0;
    case WM_SIZE:
      SendMessageA(status_bar1_, WM_SIZE, 0, 0);  // the status bar follows the bottom edge
      // The chart fits the new size; where it stood before and no longer stands is erased (the
      // erase leaves the chart's own rectangle alone, so it does not flicker).
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND:
      EraseAroundChart(reinterpret_cast<HDC>(wparam));
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC context = BeginPaint(window_, &paint);
      PaintChartArea(context);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintChartArea(reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_CLOSE:
      if (form_->OnCloseRequested()) {
        DestroyWindow(window_);
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam != FALSE) {
        form_->OnTerminateRequested();  // logging off: the route is written, nothing asked
      }
      return 0;
    case WM_DESTROY:
      form_->OnDestroy();
      KillTimer(window_, kUpdateTimerId);
      KillTimer(window_, kRetryTimerId);
      KillTimer(window_, kChartTimerId);
      KillTimer(window_, kLiveTimerId);
      window_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wparam, lparam);
}

bool MainWindowWin32::Dispatch(MSG& message) {
  if (message.message == WM_QUIT) {
    return false;
  }
  if (window_ == nullptr || !IsDialogMessageA(window_, &message)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

int MainWindowWin32::Run() {
  if (!IsWindowVisible(window_)) {
    ShowWindow(window_, SW_SHOWNORMAL);
  }
  UpdateWindow(window_);
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    Dispatch(message);
  }
  return static_cast<int>(message.wParam);
}

void MainWindowWin32::ProcessPendingMessages() {
  MSG message{};
  // Input too: a click on the close button becomes a close only through the default handling.
  // While the link waits, the window's logic drops what would use the link meanwhile.
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!Dispatch(message)) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the loop to see
      return;
    }
  }
}

void MainWindowWin32::ShowPanelText(int panel, const std::string& text) {
  SendMessageA(status_bar1_, SB_SETTEXTA, static_cast<WPARAM>(panel),
               reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindowWin32::ShowButtonEnabled(bool enabled) {
  EnableWindow(button1_, enabled);
}

void MainWindowWin32::ShowAutoRun(bool checked) {
  SendMessageA(check_box1_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindowWin32::ShowViewerSelect(bool checked) {
  SendMessageA(check_box2_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindowWin32::ShowThreeD(bool checked) {
  SendMessageA(check_box3_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindowWin32::ShowIntervalText(const std::string& text) {
  if (WindowText(rx_spin_edit1_) == text) {
    return;
  }
  showing_interval_ = true;
  SetWindowTextA(rx_spin_edit1_, text.c_str());
  showing_interval_ = false;
}

RECT MainWindowWin32::ChartRect() const {
  RECT client{};
  GetClientRect(window_, &client);
  // The status bar's own height, which its font and the system decide.
  RECT status_bar{};
  GetWindowRect(status_bar1_, &status_bar);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&status_bar), 2);
  const layout::Box box = layout::ChartBox(client.right, status_bar.top);
  return {box.left, box.top, box.left + box.width, box.top + box.height};
}

void MainWindowWin32::RedrawChart() {
  const RECT chart = ChartRect();
  InvalidateRect(window_, &chart, FALSE);
}

void MainWindowWin32::EraseAroundChart(HDC context) {
  RECT client{};
  GetClientRect(window_, &client);
  const RECT chart = ChartRect();
  const int saved = SaveDC(context);
  ExcludeClipRect(context, chart.left, chart.top, chart.right, chart.bottom);
  FillRect(context, &client, GetSysColorBrush(COLOR_BTNFACE));
  RestoreDC(context, saved);
}

void MainWindowWin32::PaintChartArea(HDC context) {
  const RECT chart = ChartRect();
  const ChartPicture picture =
      BuildChartPicture(form_->Chart(), chart.right - chart.left, chart.bottom - chart.top);
  if (!PaintChartBuffered(context, chart.left, chart.top, picture)) {
    // Too small to draw, or GDI out of resources: at least no stale picture stays behind.
    FillRect(context, &chart, GetSysColorBrush(COLOR_BTNFACE));
  }
}

void MainWindowWin32::ShowError(const std::string& message) {
  MessageBoxA(window_, message.c_str(), layout::kCaption, MB_OK | MB_ICONERROR);
}

bool MainWindowWin32::AskCloseAnyway(const std::string& message) {
  const std::string text = message + layout::kCloseAnywayQuestion;
  return MessageBoxA(window_, text.c_str(), layout::kCaption,
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void MainWindowWin32::DismissBoxes() {
  EnumThreadWindows(GetCurrentThreadId(), EndOwnedBox, reinterpret_cast<LPARAM>(window_));
}

void MainWindowWin32::LogError(const std::string& message) {
  OutputDebugStringA(("quorvane: " + message + "\n").c_str());
}

void MainWindowWin32::EndProgram() {
  // Posted: the end of a session (WM_ENDSESSION) must return first, and a box's loop too.
  if (window_ != nullptr) {
    PostMessageA(window_, WM_CLOSE, 0, 0);
  }
}

WindowPlacement MainWindowWin32::GetPlacement() {
  WINDOWPLACEMENT record{};
  record.length = sizeof record;
  GetWindowPlacement(window_, &record);
  return {static_cast<int>(record.flags),
          static_cast<int>(record.showCmd),
          {record.ptMinPosition.x, record.ptMinPosition.y},
          {record.ptMaxPosition.x, record.ptMaxPosition.y},
          ToRect(record.rcNormalPosition)};
}

void MainWindowWin32::SetPlacement(const WindowPlacement& placement) {
  WINDOWPLACEMENT record{};
  record.length = sizeof record;
  record.flags = static_cast<UINT>(placement.flags);
  record.showCmd = static_cast<UINT>(placement.show_command);
  record.ptMinPosition = {placement.min_position.x, placement.min_position.y};
  record.ptMaxPosition = {placement.max_position.x, placement.max_position.y};
  record.rcNormalPosition = {placement.normal.left, placement.normal.top, placement.normal.right,
                             placement.normal.bottom};
  SetWindowPlacement(window_, &record);
}

void MainWindowWin32::SetState(WindowState state) {
  if (state == WindowState::Maximized) {
    ShowWindow(window_, SW_SHOWMAXIMIZED);  // shows the window, maximized
  } else if (state == WindowState::Minimized) {
    ShowWindow(window_, SW_MINIMIZE);
  } else if (IsWindowVisible(window_) && (IsZoomed(window_) || IsIconic(window_))) {
    ShowWindow(window_, SW_RESTORE);
  }
}

void MainWindowWin32::PostMinimizeApplication() {
  PostMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

int MainWindowWin32::PixelsPerInch() {
  HDC screen = GetDC(nullptr);
  const int pixels = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return pixels;
}

Point MainWindowWin32::PrimaryScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

Point MainWindowWin32::FrameThickness() {
  return {GetSystemMetrics(SM_CXSIZEFRAME), GetSystemMetrics(SM_CYSIZEFRAME)};
}

std::vector<Rect> MainWindowWin32::Screens() {
  std::vector<Rect> screens;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&screens));
  return screens;
}

}  // namespace quorvane
