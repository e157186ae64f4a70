#pragma once

// Fakes for the main window's logic: a fake clock driving the two timers, a view that records
// what it is told, and desktop services that record what they are asked.

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/app_timer.h"
#include "app/main_view.h"
#include "app/platform_services.h"

namespace quorvane::testing {

class FakeClock;

// A timer of the fake clock; the clock calls on_tick when it is due.
class FakeTimer final : public TimerBackend {
 public:
  FakeTimer(FakeClock& clock, std::function<void()> on_tick)
      : clock_(clock), on_tick_(std::move(on_tick)) {}
  void Start(int period_ms) override;
  void Stop() override { running_ = false; }

  bool running() const { return running_; }
  long long due_ms() const { return due_ms_; }
  int period_ms() const { return period_ms_; }  // of the latest start
  int starts = 0;
  std::function<void()> on_start;  // called at every start, when set

 private:
  friend class FakeClock;
  FakeClock& clock_;
  std::function<void()> on_tick_;
  bool running_ = false;
  int period_ms_ = 0;
  long long due_ms_ = 0;
};

// Time in milliseconds that moves only when a test moves it.
class FakeClock {
 public:
  long long now_ms() const { return now_ms_; }
  // Moves time forward by ms, ticking each timer whenever it comes due, in order.
  void Advance(long long ms);
  // Ticks the timers that are due now (what a message loop does when it dispatches).
  void RunDue();
  void Register(FakeTimer* timer) { timers_.push_back(timer); }
  // Moves time without ticking anything (time spent blocked in a call).
  void Pass(long long ms) { now_ms_ += ms; }

 private:
  FakeTimer* NextDue(long long until) const;
  long long now_ms_ = 0;
  std::vector<FakeTimer*> timers_;
};

class FakeView final : public MainView {
 public:
  explicit FakeView(FakeClock& clock) : clock_(clock) {}

  void ShowPanelText(int panel, const std::string& text) override { panels[panel] = text; }
  void ShowButtonEnabled(bool enabled) override { button_enabled = enabled; }
  void ShowAutoRun(bool checked) override { auto_run = checked; }
  void ShowViewerSelect(bool checked) override { viewer_select = checked; }
  void ShowThreeD(bool checked) override { three_d = checked; }
  void ShowIntervalText(const std::string& text) override { interval_text = text; }
  void RedrawChart() override { ++chart_redraws; }
  // Runs the timers that are due, as dispatching pending messages would.
  void ProcessPendingMessages() override {
    ++message_passes;
    clock_.RunDue();
  }
  void ShowError(const std::string& message) override {
    errors.push_back(message);
    dismissed_ = false;
    if (while_error_shown) {
      while_error_shown();
    }
  }
  bool AskCloseAnyway(const std::string& message) override {
    questions.push_back(message);
    dismissed_ = false;
    if (while_question_shown) {
      while_question_shown();
    }
    return close_anyway && !dismissed_;
  }
  void DismissBoxes() override {
    ++dismissals;
    dismissed_ = true;
  }
  void LogError(const std::string& message) override { logged.push_back(message); }
  void EndProgram() override { ++program_ends; }

  std::map<int, std::string> panels;
  bool button_enabled = true;
  bool auto_run = false;
  bool viewer_select = false;
  bool three_d = false;
  std::string interval_text;
  int chart_redraws = 0;
  int message_passes = 0;
  std::vector<std::string> errors;
  std::vector<std::string> questions;
  bool close_anyway = false;
  std::function<void()> while_error_shown;     // runs while the (modal) box is up
  std::function<void()> while_question_shown;  // runs while the question is up
  int dismissals = 0;
  std::vector<std::string> logged;
  int program_ends = 0;

 private:
  FakeClock& clock_;
  bool dismissed_ = false;  // the box showing was dismissed
};

struct ShellRequest {
  std::string file;
  std::string parameters;
  std::string working_folder;
  ShowMode mode;
};

class FakePlatform final : public PlatformServices {
 public:
  std::string DocumentsFolder() override {
    if (documents_folder_error) {
      throw std::runtime_error("The Documents folder setting is not text");
    }
    return documents_folder;
  }
  void OpenWithShell(const std::string& file, const std::string& parameters,
                     const std::string& working_folder, ShowMode mode) override {
    shell_requests.push_back({file, parameters, working_folder, mode});
  }
  std::optional<std::string> ForegroundWindowTitle() override { return foreground_title; }
  void CreateKeptOpenFile(const std::string& path) override {
    if (kept_open_error) {
      throw std::runtime_error("Cannot create file " + path);
    }
    kept_open_files.push_back(path);
  }

  std::string documents_folder;
  bool documents_folder_error = false;
  bool kept_open_error = false;
  std::optional<std::string> foreground_title;
  std::vector<ShellRequest> shell_requests;
  std::vector<std::string> kept_open_files;
};

class FakeDecimalSeparator final : public DecimalSeparator {
 public:
  char Current() override { return separator; }
  void SetDot() override {
    saved = separator;
    separator = '.';
  }
  void Restore() override { separator = saved; }
  char separator = ',';
  char saved = 0;
};

}  // namespace quorvane::testing
