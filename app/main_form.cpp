#include "app/main_form.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "app/settings/live_view_seconds.h"
#include "app/version_text.h"
#include "app/viewer_rule.h"
#include "app/window_layout.h"
#include "link/link_result.h"

namespace quorvane {

namespace {

constexpr int kVersionPanel = 0;
constexpr int kConnectPanel = 1;
constexpr int kSamplePanel = 2;
constexpr const char* kConnectPrefix = "Connect: ";

// Clears a flag when a scope ends, however it ends.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TForm1::TForm1(FormContext context, std::optional<SettingsPlace> settings)
    : context_(std::move(context)),
      TimerUpdateTime(context_.update_timer, 60000),
      Timer1(context_.retry_timer, kRetryPeriodMs),
      chart_timer_(context_.chart_timer, kChartRedrawPeriodMs),
      sampler_(context_.simulator.Link()),
      live_sampler_(context_.simulator.Link()),
      rx_spin_edit1_([this] { RxSpinEdit1Change(); }) {
  chart_.waiting_text = layout::kChartWaitingForSimulator;
  if (settings) {
    settings_.emplace(*settings, static_cast<StoredControls&>(*this));
  }
  if (context_.live_timer) {
    LiveSeconds = settings_ ? settings_->LiveViewSeconds() : kLiveViewDefaultSeconds;
    LiveTimer.emplace(*context_.live_timer, LiveSeconds * 1000);
  }
}

// --- Events ---

void TForm1::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ReportError(error.what());
  }
}

void TForm1::ReportError(const std::string& message) {
  // Ending as told, the program asks nothing: a box would wait for a user who may be gone.
  if (terminating_) {
    context_.view.LogError(message);
    return;
  }
  // The box is modal and timers go on ticking under it: a second failure meanwhile is not
  // stacked on top of the first.
  if (error_box_open_) {
    return;
  }
  FlagScope open(error_box_open_);
  context_.view.ShowError(message);
}

void TForm1::OnCreate() {
  Guarded([this] { FormCreate(); });
}
void TForm1::OnShow() {
  // The stored settings come first, through the controls' ordinary setters, so that FormShow
  // sees the restored interval and check boxes.
  if (settings_) {
    settings_->RestoreAtShow();
  }
  Guarded([this] { FormShow(); });
}
void TForm1::OnDestroy() {
  if (settings_) {
    settings_->SaveAtDestroy();
  }
}
// The window takes events while the link waits for the server (a close must not wait), so these
// may arrive in the middle of an exchange; the link serves one exchange at a time, and a closed
// window makes no more.
bool TForm1::LinkAvailable() const {
  return !link_busy_ && !closed_;
}
void TForm1::OnUpdateTimerTick() {
  if (LinkAvailable()) {
    Guarded([this] { TimerUpdateTimeTimer(); });
  } else if (live_sample_running_) {
    // The live sample stops after its exchange under way, and the update follows at once.
    update_due_ = true;
  }
}
void TForm1::OnRetryTimerTick() {
  if (LinkAvailable()) {
    Guarded([this] { Timer1Timer(); });
  }
}
void TForm1::OnChartTimerTick() {
  if (!closed_) {
    RedrawChart();
  }
}
void TForm1::OnLiveTimerTick() {
  // A tick during any other sample is dropped: the next one comes a period later.
  if (LinkAvailable()) {
    Guarded([this] { LiveTimerTimer(); });
  }
}
void TForm1::OnShowButtonClicked() {
  if (LinkAvailable()) {
    Guarded([this] { Button1Click(); });
  }
}
void TForm1::OnAutoRunClicked(bool checked) {
  Guarded([this, checked] { SetAutoRun(checked); });
}
void TForm1::OnViewerSelectClicked(bool checked) {
  SetViewerSelect(checked);
}
void TForm1::OnThreeDClicked(bool checked) {
  SetThreeD(checked);
}
void TForm1::OnIntervalTyped(const std::string& text) {
  Guarded([this, &text] { rx_spin_edit1_.Typed(text); });
}
void TForm1::OnIntervalStep(int delta) {
  Guarded([this, delta] { rx_spin_edit1_.Step(delta); });
}
void TForm1::OnIntervalFocusLost() {
  Guarded([this] { rx_spin_edit1_.FocusLost(); });
}

bool TForm1::OnCloseRequested() {
  return Close(true);
}

void TForm1::OnTerminateRequested() {
  terminating_ = true;
  context_.interrupt.Request();
  // A box may be waiting for the user (the request arrives through the box's own message loop);
  // it goes, and the handler that opened it goes on once this returns.
  context_.view.DismissBoxes();
  Close(false);
}

bool TForm1::Close(bool ask_on_failure) {
  if (closed_) {
    return true;  // the close handling has run already
  }
  if (closing_) {
    return false;  // under way (this request came through one of its boxes): it decides
  }
  // A wait for the server under way, or one that would come, must not hold up the close.
  context_.interrupt.Request();
  {
    FlagScope closing(closing_);
    // The settings are saved as they stand before the close handling runs.
    if (settings_) {
      settings_->SaveAtCloseQuery();
    }
    Guarded([this, ask_on_failure] { closed_ = FormClose(ask_on_failure); });
  }
  if (terminating_) {
    // Told to end, the program ends even when a part of the close handling failed.
    closed_ = true;
    context_.view.EndProgram();
  } else if (!closed_) {
    context_.interrupt.Clear();  // the window stays open, and the link goes on
  }
  if (closed_) {
    chart_timer_.SetEnabled(false);
  }
  return closed_;
}

// --- Controls ---

std::optional<StoredProperty> TForm1::FindStoredProperty(const std::string& component,
                                                         const std::string& property) {
  const auto same = [](const std::string& text, std::string_view name) {
    return std::equal(text.begin(), text.end(), name.begin(), name.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) ==
             std::tolower(static_cast<unsigned char>(b));
    });
  };
  if (same(component, "RxSpinEdit1") && same(property, "Value")) {
    return StoredProperty{
        "RxSpinEdit1", "Value", [this] { return FloatPropertyText(rx_spin_edit1_.Value()); },
        [this](const std::string& text) { rx_spin_edit1_.SetValue(ParseFloatPropertyText(text)); },
        std::nullopt};
  }
  const auto check_box = [this](const char* name, const bool& state, void (TForm1::*setter)(bool)) {
    return StoredProperty{name, "Checked", [&state] { return BooleanPropertyText(state); },
                          [this, setter](const std::string& text) {
                            // Text other than "True" or "False" sets nothing.
                            if (const auto value = ParseBooleanPropertyText(text)) {
                              (this->*setter)(*value);
                            }
                          },
                          std::nullopt};
  };
  if (same(component, "CheckBox1") && same(property, "Checked")) {
    return check_box("CheckBox1", check_box1_, &TForm1::SetAutoRun);
  }
  if (same(component, "CheckBox2") && same(property, "Checked")) {
    return check_box("CheckBox2", check_box2_, &TForm1::SetViewerSelect);
  }
  if (same(component, "CheckBox3") && same(property, "Checked")) {
    // Added later than the others: a file that never had it reads, and stays, as off.
    StoredProperty three_d = check_box("CheckBox3", check_box3_, &TForm1::SetThreeD);
    three_d.absent_text = BooleanPropertyText(false);
    return three_d;
  }
  return std::nullopt;
}

void TForm1::SetPanel(int panel, const std::string& text) {
  panels_.at(panel) = text;
  context_.view.ShowPanelText(panel, text);
}

void TForm1::SetAutoRun(bool checked) {
  if (checked == check_box1_) {
    return;
  }
  check_box1_ = checked;
  context_.view.ShowAutoRun(checked);
  CheckBox1Click();
}

void TForm1::SetViewerSelect(bool checked) {
  if (checked == check_box2_) {
    return;
  }
  check_box2_ = checked;
  context_.view.ShowViewerSelect(checked);
}

void TForm1::SetThreeD(bool checked) {
  if (checked == check_box3_) {
    return;
  }
  check_box3_ = checked;
  context_.view.ShowThreeD(checked);
  const Relief relief = checked ? Relief::kThreeDimensional : Relief::kFlat;
  context_.documents.SetRelief(relief);
  context_.live_view.SetRelief(relief);
}

// --- Handlers ---

void TForm1::FormCreate() {
  IntervalSeconds = 60;
  rx_spin_edit1_.SetValue(60);
  context_.view.ShowIntervalText(rx_spin_edit1_.Text());
  context_.route.Clear();
  TimerUpdateTime.SetPeriod(IntervalSeconds * 1000);

  // Errors from here on end start-up: no separator change, no link, no samples this run.
  DocumentsFolder = context_.platform.DocumentsFolder();
  context_.documents.SetDocumentsFolder(DocumentsFolder);
  context_.live_view.SetDocumentsFolder(DocumentsFolder);
  context_.track.SetDocumentsFolder(DocumentsFolder);
  // Before anything is written there: the last flight is kept, since this run replaces it.
  context_.earlier_runs.SeeTo(DocumentsFolder);
  live_view_ready_ = true;
  if (LiveTimer) {
    context_.route.KeepLiveRoute(true);
  }
  WriteLiveView();
  if (context_.arguments.size() == 1 && context_.arguments[0] == "D") {
    context_.platform.CreateKeptOpenFile(kDynFileName);
  }
  SavedDecimalSeparator = context_.decimal_separator.Current();
  context_.decimal_separator.SetDot();
  UpdatesArmed = true;
  if (LiveTimer) {
    LiveTimer->SetEnabled(true);  // it samples only while the update cycle runs on an open link
  }

  if (ConnectLink(kFirstLook)) {
    TimerUpdateTimeTimer();
  }
}

bool TForm1::ConnectLink(std::chrono::milliseconds look) {
  FlagScope busy(link_busy_);
  LinkResult result = LinkResult::Okay;
  const bool opened = context_.simulator.Open(result, look);
  link_opened_ = opened;
  SetPanel(kConnectPanel, std::string(kConnectPrefix) + LinkResultMessage(result));
  if (opened) {
    const std::string answered = context_.simulator.AnsweredText();
    SetPanel(kVersionPanel,
             answered.empty() ? VersionText(context_.simulator.Link().ServerVersion()) : answered);
  }
  chart_.waiting_text =
      opened ? layout::kChartWaitingForPosition : layout::kChartWaitingForSimulator;
  RedrawChart();
  return opened;
}

void TForm1::FormShow() {
  if (!TimerUpdateTime.Enabled()) {
    Timer1.SetEnabled(true);
  }
  chart_timer_.SetEnabled(true);
}

void TForm1::TimerUpdateTimeTimer() {
  TimerUpdateTime.SetEnabled(false);
  if (UpdatesArmed) {
    std::optional<AircraftFix> fix;
    {
      FlagScope busy(link_busy_);
      fix = context_.simulator.Sample(
          sampler_, [this](const std::string& text) { SetPanel(kSamplePanel, text); });
    }
    if (fix) {
      live_paused_ = false;  // the link works: the live view may sample again
      // The route takes the point first: the document's save may fail after the route grew.
      RecordFix(*fix, context_.now());
      try {
        context_.documents.WriteAircraftDocument(*fix);
      } catch (...) {
        // The fix was good: keep sampling and collecting the route while the error is shown.
        TimerUpdateTime.SetEnabled(true);
        throw;
      }
      WriteLiveDocuments(*fix);
      StartViewerIfWanted();
      TimerUpdateTime.SetEnabled(true);
    } else {
      context_.route.Break();  // no straight line across the gap
      Timer1.SetEnabled(true);
    }
    RedrawChart();
  }
  context_.view.ProcessPendingMessages();
}

void TForm1::RecordFix(const AircraftFix& fix, std::chrono::system_clock::time_point time) {
  context_.route.RecordFix(fix, time);
  constexpr double kMetresPerFoot = 0.3048;
  chart_.latest = ChartFix{{fix.Latitude, fix.Longitude},
                           fix.Heading,
                           fix.AltitudeMetres / kMetresPerFoot,
                           fix.GroundSpeedKnots};
  chart_.last_update = time;
}

void TForm1::FollowRoute() {
  // The chart draws the route flown, the one both route files are written from: its points are
  // copied once, as the route grows, with a new segment wherever the route begins one.
  const Route& route = context_.route.Flown();
  const std::vector<RoutePoint>& points = route.Points();
  if (route.Generation() != chart_route_generation_ || points.size() < chart_route_points_) {
    chart_.segments.clear();  // the route began anew
    chart_route_points_ = 0;
    chart_route_generation_ = route.Generation();
  }
  for (std::size_t i = chart_route_points_; i < points.size(); ++i) {
    if (chart_.segments.empty() || route.StartsSegment(i)) {
      chart_.segments.emplace_back();
    }
    chart_.segments.back().push_back({points[i].latitude, points[i].longitude});
  }
  chart_route_points_ = points.size();
}

void TForm1::RedrawChart() {
  FollowRoute();
  chart_.now = context_.now();
  context_.view.RedrawChart();
}

void TForm1::WriteLiveDocuments(const AircraftFix& fix) {
  // The same folder takes "letadlo.kml" at every update: a failure here is not worth a message.
  try {
    context_.live_view.WriteView(fix);
  } catch (const std::exception&) {
  }
  if (LiveTimer) {
    try {
      context_.documents.WriteLiveAircraftDocument(fix);
    } catch (const std::exception&) {
    }
  }
}

void TForm1::LiveTimerTimer() {
  // While the update cycle retries (or has not begun), it alone uses the link: a live sample
  // would only wait out the time-outs of a link that is gone.
  if (!UpdatesArmed || !link_opened_ || Timer1.Enabled() || live_paused_ || closing_) {
    return;
  }
  std::optional<AircraftFix> fix;
  {
    FlagScope busy(link_busy_);
    FlagScope running(live_sample_running_);
    // Nothing on screen: the status bar shows the update cycle's samples only, so the sampler is
    // asked directly, with no text for the panel made.
    fix = live_sampler_.SampleAircraft([](const std::string&) {},
                                       [this] { return !update_due_ && !closing_ && !closed_; });
  }
  if (closed_) {
    update_due_ = false;
    return;  // closed during the sample: the route's files are written for good
  }
  if (fix) {
    context_.route.RecordLiveFix(*fix, context_.now());
    // The chart draws the route with its live points: its aircraft stands at the route's end.
    // The time of the latest update it shows stays the update cycle's.
    chart_.latest = ChartFix{
        {fix->Latitude, fix->Longitude}, fix->Heading, std::nullopt, fix->GroundSpeedKnots};
    WriteLiveDocuments(*fix);
  } else if (!update_due_) {
    // A failure is left to the update cycle to report and to reconnect from; only the track
    // marks the gap. Until the update cycle has sampled well again, the live view leaves the
    // link alone: every sample against a server that hangs would wait out its time-outs.
    context_.route.Break();
    live_paused_ = true;
  }
  if (update_due_) {
    update_due_ = false;
    TimerUpdateTimeTimer();
  }
}

void TForm1::StartViewerIfWanted() {
  if (!check_box1_) {
    return;
  }
  if (check_box2_ && !TitleShowsViewer(context_.platform.ForegroundWindowTitle())) {
    return;
  }
  context_.platform.OpenWithShell(context_.documents.AircraftDocumentPath(), "", DocumentsFolder,
                                  ShowMode::Normal);
}

void TForm1::Timer1Timer() {
  // An attempt against a slow server can outlast the period; a tick that comes due while
  // another attempt runs is dropped rather than nested.
  if (retry_tick_running_) {
    return;
  }
  FlagScope running(retry_tick_running_);
  context_.simulator.Close();
  if (!ConnectLink(std::chrono::milliseconds(0))) {
    // The next attempt comes one full period after this one ended.
    Timer1.Restart();
    context_.view.ProcessPendingMessages();
    return;
  }
  Timer1.SetEnabled(false);
  context_.route.Break();
  TimerUpdateTimeTimer();
}

void TForm1::Button1Click() {
  // Only while the latest opening of the link succeeded, which "Connect: Okay" shows; a failed
  // sample since then does not count.
  if (link_opened_) {
    TimerUpdateTimeTimer();
    context_.platform.OpenWithShell(context_.documents.AircraftDocumentPath(), "", DocumentsFolder,
                                    ShowMode::Normal);
  }
  context_.view.ProcessPendingMessages();
}

void TForm1::CheckBox1Click() {
  button1_enabled_ = !check_box1_;
  context_.view.ShowButtonEnabled(button1_enabled_);
}

void TForm1::RxSpinEdit1Change() {
  context_.view.ShowIntervalText(rx_spin_edit1_.Text());
  const int value = rx_spin_edit1_.Value();
  // Values typed on the way to another number ("1" of "120") may lie outside the range; they
  // wait until the box loses the focus and clamps them.
  if (value < IntervalBox::kMinimum || value > IntervalBox::kMaximum) {
    return;
  }
  IntervalSeconds = value;
  TimerUpdateTime.SetPeriod(IntervalSeconds * 1000);
  WriteLiveView();
}

void TForm1::WriteLiveView() {
  if (!live_view_ready_) {
    return;
  }
  try {
    if (LiveTimer) {
      context_.live_view.Write(LiveSeconds, LiveSources::kLiveDocuments);
    } else {
      context_.live_view.Write(IntervalSeconds);
    }
  } catch (const std::exception&) {
  }
}

bool TForm1::FormClose(bool ask_on_failure) {
  // The GPX track is an extra: its failure at close neither asks nor keeps the window open.
  try {
    context_.track.Save();
  } catch (const std::exception&) {
  }
  bool route_saved = true;
  try {
    context_.documents.WriteRouteDocument();
  } catch (const std::exception& error) {
    // A termination request while the question is open answers it: close.
    if (ask_on_failure && !terminating_ && !context_.view.AskCloseAnyway(error.what()) &&
        !terminating_) {
      return false;  // the window stays open; closing again tries again
    }
    if (terminating_) {
      context_.view.LogError(error.what());
    }
    route_saved = false;
  }
  if (route_saved) {
    context_.platform.OpenWithShell(context_.documents.RouteDocumentPath(), "", DocumentsFolder,
                                    ShowMode::Normal);
  }
  context_.decimal_separator.Restore();
  return true;
}

}  // namespace quorvane
