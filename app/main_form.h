#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app_timer.h"
#include "app/interval_box.h"
#include "app/main_view.h"
#include "app/platform_services.h"
#include "app/settings/main_window_settings.h"
#include "app/settings/stored_property.h"
#include "app/simulator_link.h"
#include "chart/chart_input.h"
#include "kml/earlier_runs.h"
#include "kml/gpx_track.h"
#include "kml/kml_documents.h"
#include "kml/live_view_document.h"
#include "kml/route_recorder.h"
#include "link/link_interrupt.h"
#include "sampling/aircraft_sampler.h"

namespace quorvane {

// What the main window works with; everything must outlive the window.
struct FormContext {
  MainView& view;
  PlatformServices& platform;
  DecimalSeparator& decimal_separator;
  SimulatorLink& simulator;  // the link to whichever simulator answers
  KmlDocuments& documents;
  TimerBackend& update_timer;          // drives TimerUpdateTime
  TimerBackend& retry_timer;           // drives Timer1
  TimerBackend& chart_timer;           // redraws the chart, for its "how long ago" figure
  std::vector<std::string> arguments;  // the command line, without the program's name
  LiveViewDocument& live_view;         // the file that keeps a viewer following the aircraft
  GpxTrack& track;                     // the route with times, as GPX
  RouteRecorder& route;                // the route flown, grown by moving fixes
  std::function<std::chrono::system_clock::time_point()> now;  // the time of day, UTC
  LinkInterrupt& interrupt;   // cuts the link's waits short when the window closes
  EarlierRuns& earlier_runs;  // what earlier runs left in the Documents folder
  // Drives the live view's sampling (LiveTimer). Without one, nothing is sampled for the live
  // view, and "Quorvane live.kml" follows the update cycle's documents at the update interval.
  TimerBackend* live_timer = nullptr;
};

// The main window's behaviour, toolkit-free: start-up, the update cycle with its two timers,
// the live view's sampling beside it (a third timer, when given), the viewer rule, "Show", the
// interval box, the stored settings and the close handling. The toolkit window calls the On...
// entry points for its events and mirrors what the logic shows through MainView. An error raised by
// a handler ends that handler and is shown in an error box, one box at a time.
class TForm1 final : private StoredControls {
 public:
  static constexpr int kRetryPeriodMs = 5000;
  static constexpr int kChartRedrawPeriodMs = 1000;
  static constexpr const char* kDynFileName = "f:\\dyn.txt";
  // How long the opening at start-up waits for X-Plane or FlightGear to send when no FSUIPC
  // answers; the retries do not wait (what arrives later is found by the next one).
  static constexpr std::chrono::milliseconds kFirstLook{1000};

  // With a place for the settings, the window's placement, the interval and the check boxes
  // are restored as the window is shown and saved as it closes; without one, nothing is kept.
  explicit TForm1(FormContext context, std::optional<SettingsPlace> settings = std::nullopt);

  // --- Events from the toolkit window ---
  void OnCreate();  // the window was created, before it is first shown
  // The window is being shown: the stored settings are restored, then FormShow runs.
  void OnShow();
  void OnUpdateTimerTick();    // TimerUpdateTime ticked
  void OnRetryTimerTick();     // Timer1 ticked
  void OnChartTimerTick();     // the chart's timer ticked: the chart is redrawn
  void OnLiveTimerTick();      // LiveTimer ticked
  void OnShowButtonClicked();  // "Show"
  void OnAutoRunClicked(bool checked);
  void OnViewerSelectClicked(bool checked);
  void OnThreeDClicked(bool checked);  // "3D"
  void OnIntervalTyped(const std::string& text);
  void OnIntervalStep(int delta);
  void OnIntervalFocusLost();
  // The user asks to close the window: true when it may close. The settings are saved, then
  // the close handling runs; a failed route save asks whether to close anyway. A wait of the
  // link for the server under way (the window takes closes while the link waits) is given up,
  // and the close handling runs at once.
  bool OnCloseRequested();
  // The window is being destroyed (after it closed, or when the program ends without asking):
  // the settings are saved once more if no save at the close completed.
  void OnDestroy();
  // The process was asked to end (SIGINT, SIGTERM, the end of the session), in whatever state:
  // a wait for the server is given up, open message boxes are dismissed, and the close
  // handling runs without asking anything, at once or, when it is under way already, by going
  // on without asking; then the view ends the program. Errors meanwhile are logged, not shown.
  // Either way the close handling runs once; later requests find the window closed.
  void OnTerminateRequested();

  // --- What the window shows ---
  // The close handling has run to its end: the window is closed for good.
  bool Closed() const { return closed_; }
  bool AutoRun() const { return check_box1_; }
  bool ViewerSelect() const { return check_box2_; }
  bool ThreeD() const { return check_box3_; }
  bool ShowButtonEnabled() const { return button1_enabled_; }
  const std::string& PanelText(int panel) const { return panels_.at(panel); }
  // What the chart shows: the route flown with its segments, the latest fix with its time, and
  // before the first fix what the program is waiting for; its time now is that of the latest
  // redraw request (MainView::RedrawChart).
  const ChartInput& Chart() const { return chart_; }

 private:
  // --- Handlers ---
  void FormCreate();
  void FormShow();
  void TimerUpdateTimeTimer();
  void Timer1Timer();
  // One sample for the live view: only the live documents and the route's live points change.
  void LiveTimerTimer();
  void Button1Click();
  void CheckBox1Click();
  void RxSpinEdit1Change();
  // Writes and opens the route; false when the close is abandoned.
  bool FormClose(bool ask_on_failure);

  // The controls' state as the program sets it (the ordinary setters: they notify).
  void SetAutoRun(bool checked);
  void SetViewerSelect(bool checked);
  // "3D": the documents and the live view show the aircraft and the route at their altitude.
  void SetThreeD(bool checked);

  // StoredControls: property names are matched without regard to case.
  std::optional<StoredProperty> FindStoredProperty(const std::string& component,
                                                   const std::string& property) override;
  // Shows an error in the error box, unless one is showing already.
  void ReportError(const std::string& message) override;

  void SetPanel(int panel, const std::string& text);
  // Opens the link, looking for X-Plane or FlightGear up to `look`, and shows its result and
  // what answered; true when it opened.
  bool ConnectLink(std::chrono::milliseconds look);
  void StartViewerIfWanted();
  // Rewrites the live view for the current interval; a failure is not the user's concern here
  // (the next save of "letadlo.kml" into the same folder reports it).
  void WriteLiveView();
  // Saves the live view's documents for a fix; a failure is left to the update cycle's saves
  // into the same folder to report.
  void WriteLiveDocuments(const AircraftFix& fix);
  // Runs an event's handler; an error it raises is shown, and ends only that handler.
  void Guarded(const std::function<void()>& handler);
  // Saves the settings and then runs the close handling; true when the window may close.
  bool Close(bool ask_on_failure);
  // True when a handler may use the link: no other one is using it and the window is open.
  bool LinkAvailable() const;
  // Records a good fix at time: in the route flown, and as the chart's latest fix.
  void RecordFix(const AircraftFix& fix, std::chrono::system_clock::time_point time);
  // Brings the chart's route up to the route flown.
  void FollowRoute();
  // Asks the view to draw the chart again, up to date, as of now.
  void RedrawChart();

  FormContext context_;
  // --- Program state ---
  int IntervalSeconds = 60;
  std::string DocumentsFolder;
  bool UpdatesArmed = false;
  char SavedDecimalSeparator = '.';
  AppTimer TimerUpdateTime;
  AppTimer Timer1;
  AppTimer chart_timer_;
  AircraftSampler sampler_;
  // Samples for the live view every LiveSeconds while the update cycle runs on an open link.
  std::optional<AppTimer> LiveTimer;
  int LiveSeconds = 0;
  AircraftSampler live_sampler_;  // its own raw values: a failed read of one keeps its own
  bool live_sample_running_ = false;
  bool update_due_ = false;   // the update timer ticked during a live sample: it runs next
  bool live_paused_ = false;  // a live sample failed: none until the update cycle samples well
  std::array<std::string, 3> panels_;
  ChartInput chart_;
  std::size_t chart_route_points_ = 0;        // the route's points the chart has
  std::uint64_t chart_route_generation_ = 0;  // the route's generation they came from
  bool check_box1_ = false;
  bool check_box2_ = false;
  bool check_box3_ = false;
  bool button1_enabled_ = true;
  IntervalBox rx_spin_edit1_;
  bool link_opened_ = false;  // the latest opening of the link succeeded: "Show" acts
  bool retry_tick_running_ = false;
  bool error_box_open_ = false;
  bool link_busy_ = false;        // a handler is using the link (which may be waiting)
  bool closing_ = false;          // the close handling is under way
  bool terminating_ = false;      // the process was asked to end: nothing more is asked
  bool closed_ = false;           // the close handling has completed
  bool live_view_ready_ = false;  // the Documents folder is known: the live view may be written
  // Made last: resolving the stored properties looks at the controls above.
  std::optional<MainWindowSettings> settings_;
};

}  // namespace quorvane
