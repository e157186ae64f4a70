#include "app/main_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/app/form_harness.h"

namespace quorvane {
namespace {

using testing::FormHarness;

// The harness's aircraft, heading 90 degrees true: 2^30 in FSUIPC's unit, which the client's
// divisor shows as 89.81, as it shows the real FSUIPC's.
constexpr const char* kSummary = "Lat: 50.100000   Lon: 14.250000   H:   89.81";

class FormTest : public ::testing::Test {
 protected:
  // Creates and shows the window, as the program does at start.
  void Start() {
    h.form->OnCreate();
    h.form->OnShow();
  }
  int SampleExchanges() const {
    int count = 0;
    for (const auto& block : h.services.sent_blocks) {
      count += block.size() != 58 && block.size() != 44;
    }
    return count;
  }

  FormHarness h;
  TForm1& form = *h.form;
};

// --- Start-up ---

TEST_F(FormTest, StartWithServerConnectsAndUpdatesBeforeTheWindowShows) {
  h.form->OnCreate();
  EXPECT_EQ(form.PanelText(1), "Connect: Okay");
  EXPECT_EQ(form.PanelText(0), "FSUIPC Version: 3.622b");
  EXPECT_EQ(form.PanelText(2), kSummary);
  EXPECT_EQ(h.view.panels[2], kSummary);
  EXPECT_TRUE(h.Exists(h.AircraftFile()));
  EXPECT_TRUE(h.update_timer->running());
  EXPECT_EQ(h.update_timer->period_ms(), 60000);
  EXPECT_FALSE(h.retry_timer->running());
  EXPECT_TRUE(h.platform.shell_requests.empty());
  EXPECT_EQ(h.decimal.separator, '.');
  EXPECT_EQ(h.decimal.saved, ',');
  EXPECT_EQ(h.view.interval_text, "60");
  h.form->OnShow();
  EXPECT_FALSE(h.retry_timer->running()) << "showing changes nothing after a good first update";
}

TEST_F(FormTest, StartWithoutServerRetriesEveryFiveSecondsUntilItComes) {
  h.ServerRunning(false);
  h.form->OnCreate();
  EXPECT_EQ(form.PanelText(1), "Connect: Cannot link to FSUIPC or WideClient");
  EXPECT_EQ(form.PanelText(0), "");
  EXPECT_EQ(form.PanelText(2), "");
  EXPECT_FALSE(h.retry_timer->running()) << "retrying starts when the window shows";
  h.form->OnShow();
  EXPECT_TRUE(h.retry_timer->running());
  EXPECT_FALSE(h.update_timer->running());

  h.clock.Advance(4999);
  EXPECT_EQ(h.retry_timer->starts, 1);
  h.clock.Advance(1);
  EXPECT_EQ(form.PanelText(1), "Connect: Cannot link to FSUIPC or WideClient");
  EXPECT_TRUE(h.retry_timer->running());

  h.ServerRunning(true);
  h.clock.Advance(5000);
  EXPECT_EQ(form.PanelText(1), "Connect: Okay");
  EXPECT_EQ(form.PanelText(0), "FSUIPC Version: 3.622b");
  EXPECT_EQ(form.PanelText(2), kSummary);
  EXPECT_FALSE(h.retry_timer->running());
  EXPECT_TRUE(h.update_timer->running());
  EXPECT_TRUE(h.Exists(h.AircraftFile()));
}

TEST_F(FormTest, StartUpErrorIsShownAndNoSampleIsEverTaken) {
  h.platform.documents_folder_error = true;
  Start();
  ASSERT_EQ(h.view.errors.size(), 1u);
  EXPECT_EQ(h.view.errors[0], "The Documents folder setting is not text");
  EXPECT_EQ(h.decimal.separator, ',') << "the separator is not changed";
  EXPECT_EQ(form.PanelText(1), "") << "the link is not opened";
  EXPECT_TRUE(h.retry_timer->running());

  h.clock.Advance(5000);
  EXPECT_EQ(form.PanelText(1), "Connect: Okay");
  EXPECT_EQ(form.PanelText(0), "FSUIPC Version: 3.622b");
  EXPECT_EQ(form.PanelText(2), "");
  EXPECT_EQ(SampleExchanges(), 0);
  EXPECT_FALSE(h.retry_timer->running());
  EXPECT_FALSE(h.update_timer->running());
}

TEST(FormCommandLine, OnlyASingleCapitalDCreatesTheKeptOpenFile) {
  for (const auto& [arguments, expected] : std::vector<std::pair<std::vector<std::string>, bool>>{
           {{"D"}, true}, {{"d"}, false}, {{"D", "D"}, false}, {{}, false}, {{"DD"}, false}}) {
    FormHarness harness(arguments);
    harness.form->OnCreate();
    EXPECT_EQ(harness.platform.kept_open_files,
              expected ? std::vector<std::string>{"f:\\dyn.txt"} : std::vector<std::string>{})
        << arguments.size();
  }
  FormHarness failing({"D"});
  failing.platform.kept_open_error = true;
  failing.form->OnCreate();
  failing.form->OnShow();
  EXPECT_EQ(failing.view.errors.size(), 1u);
  failing.clock.Advance(5000);
  EXPECT_EQ(failing.form->PanelText(1), "Connect: Okay");
  EXPECT_EQ(failing.form->PanelText(2), "") << "start-up ended early: no sample is ever taken";
}

// --- The update cycle ---

TEST_F(FormTest, UpdatesComeAtTheIntervalWithAFreshPeriodEachTime) {
  Start();
  const int after_start = SampleExchanges();
  h.clock.Advance(59999);
  EXPECT_EQ(SampleExchanges(), after_start);
  h.clock.Advance(1);
  EXPECT_EQ(SampleExchanges(), after_start + 7);
  EXPECT_TRUE(h.update_timer->running());
  EXPECT_EQ(h.update_timer->due_ms(), 120000);
}

TEST_F(FormTest, FailedSampleSwitchesToRetryingAndRecoversThroughAFreshLink) {
  Start();
  const std::string first_document = h.ReadFile(h.AircraftFile());
  h.FailSamples(true);
  h.PutAircraft({51.0, 15.0, 10.0, 0.0, 100.0, 300.0});
  h.clock.Advance(60000);
  EXPECT_EQ(form.PanelText(2), "Processing: IPC request contains bad data");
  EXPECT_FALSE(h.update_timer->running());
  EXPECT_TRUE(h.retry_timer->running());
  EXPECT_EQ(h.ReadFile(h.AircraftFile()), first_document);
  EXPECT_EQ(h.documents.RouteCoordinates(), "");

  // Still failing at the next retry: a new link each time, and the retrying goes on.
  const int opens = static_cast<int>(h.services.atom_texts.size());
  h.clock.Advance(5000);
  EXPECT_EQ(static_cast<int>(h.services.atom_texts.size()), opens + 1);
  EXPECT_TRUE(h.retry_timer->running());
  EXPECT_FALSE(h.update_timer->running());

  h.FailSamples(false);
  h.clock.Advance(5000);
  EXPECT_EQ(form.PanelText(2), "Lat: 51.000000   Lon: 15.000000   H:    9.98");
  EXPECT_FALSE(h.retry_timer->running());
  EXPECT_TRUE(h.update_timer->running());
  EXPECT_EQ(h.documents.RouteCoordinates(), "15.000000,51.000000,0 ");
}

TEST_F(FormTest, ViewerRuleFollowsTheCheckBoxesAndTheForegroundTitle) {
  Start();
  h.clock.Advance(60000);
  EXPECT_TRUE(h.platform.shell_requests.empty()) << "AutoRun off";

  form.OnAutoRunClicked(true);
  h.clock.Advance(60000);
  ASSERT_EQ(h.platform.shell_requests.size(), 1u);
  EXPECT_EQ(h.platform.shell_requests[0].file, h.AircraftFile());
  EXPECT_EQ(h.platform.shell_requests[0].parameters, "");
  EXPECT_EQ(h.platform.shell_requests[0].working_folder, h.folder);
  EXPECT_EQ(h.platform.shell_requests[0].mode, ShowMode::Normal);

  form.OnViewerSelectClicked(true);
  struct Case {
    std::optional<std::string> title;
    bool opens;
  };
  for (const Case& c :
       {Case{"Google Earth Pro", true}, Case{"google earth", true}, Case{"Google-Earth", false},
        Case{"My Google Earth", false}, Case{"Google Eart", false}, Case{std::nullopt, false},
        Case{std::string("Google\0Earth Pro", 16), false}, Case{"GOOGLE EARTH", true}}) {
    h.platform.foreground_title = c.title;
    h.platform.shell_requests.clear();
    h.clock.Advance(60000);
    EXPECT_EQ(h.platform.shell_requests.size(), c.opens ? 1u : 0u) << c.title.value_or("(none)");
  }
}

TEST_F(FormTest, ShowActsOnlyWhileTheLatestConnectionSucceeded) {
  Start();
  h.FailSamples(true);
  const int before = SampleExchanges();
  form.OnShowButtonClicked();
  EXPECT_EQ(SampleExchanges(), before + 1) << "an update runs, ending at its failed first read";
  ASSERT_EQ(h.platform.shell_requests.size(), 1u) << "and the last good file is opened anyway";
  EXPECT_EQ(h.platform.shell_requests[0].file, h.AircraftFile());
  EXPECT_EQ(form.PanelText(1), "Connect: Okay");

  h.ServerRunning(false);
  h.clock.Advance(5000);  // the retry fails: the connection panel shows the failure
  ASSERT_EQ(form.PanelText(1), "Connect: Cannot link to FSUIPC or WideClient");
  h.platform.shell_requests.clear();
  const int passes = h.view.message_passes;
  form.OnShowButtonClicked();
  EXPECT_TRUE(h.platform.shell_requests.empty());
  EXPECT_EQ(h.view.message_passes, passes + 1) << "pending messages are processed in any case";
}

TEST_F(FormTest, AutoRunDisablesShow) {
  Start();
  EXPECT_TRUE(form.ShowButtonEnabled());
  form.OnAutoRunClicked(true);
  EXPECT_FALSE(form.ShowButtonEnabled());
  EXPECT_FALSE(h.view.button_enabled);
  form.OnAutoRunClicked(false);
  EXPECT_TRUE(h.view.button_enabled);
}

TEST_F(FormTest, IntervalChangeRestartsTheCountdown) {
  Start();
  h.clock.Advance(30000);
  form.OnIntervalTyped("1");  // on the way to 120: too small to reach the timer
  EXPECT_EQ(h.update_timer->period_ms(), 60000);
  form.OnIntervalTyped("12");
  form.OnIntervalTyped("120");
  EXPECT_EQ(h.update_timer->period_ms(), 120000);
  const int before = SampleExchanges();
  h.clock.Advance(119999);
  EXPECT_EQ(SampleExchanges(), before);
  h.clock.Advance(1);
  EXPECT_EQ(SampleExchanges(), before + 7);
}

TEST_F(FormTest, TypedValueOutsideTheRangeIsClampedWhenTheBoxLosesFocus) {
  Start();
  form.OnIntervalTyped("");
  form.OnIntervalTyped("5");
  form.OnIntervalFocusLost();
  EXPECT_EQ(h.view.interval_text, "10");
  EXPECT_EQ(h.update_timer->period_ms(), 10000);
  form.OnIntervalTyped("99999999999");
  form.OnIntervalFocusLost();
  EXPECT_EQ(h.view.interval_text, "10") << "text that is not a number counts as 10";
  form.OnIntervalTyped("700");
  form.OnIntervalFocusLost();
  EXPECT_EQ(h.update_timer->period_ms(), 600000);
  form.OnIntervalStep(+1);
  EXPECT_EQ(h.view.interval_text, "600");
  form.OnIntervalStep(-1);
  EXPECT_EQ(h.update_timer->period_ms(), 599000);
}

// --- Faults ---

TEST_F(FormTest, FailedSaveIsShownWhileSamplingAndTheRouteGoOn) {
  Start();
  std::filesystem::remove_all(h.folder);
  h.PutAircraft({50.2, 14.3, 90.0, 0.0, 80.0, 300.0});
  h.clock.Advance(60000);
  ASSERT_EQ(h.view.errors.size(), 1u);
  EXPECT_EQ(h.view.errors[0].rfind("Cannot create file \"" + h.AircraftFile() + "\". ", 0), 0u)
      << h.view.errors[0];
  EXPECT_TRUE(h.update_timer->running()) << "updates go on";
  EXPECT_EQ(h.documents.RouteCoordinates(), "14.300000,50.200000,0 ");

  // While the box is up the next updates fail too, without another box on top.
  h.view.while_error_shown = [this] { h.clock.Advance(120000); };
  h.clock.Advance(60000);
  EXPECT_EQ(h.view.errors.size(), 2u);
  EXPECT_EQ(h.documents.RouteCoordinates(),
            "14.300000,50.200000,0 14.300000,50.200000,0 14.300000,50.200000,0 "
            "14.300000,50.200000,0 ");

  h.view.while_error_shown = nullptr;
  std::filesystem::create_directory(h.folder);
  h.clock.Advance(60000);
  EXPECT_EQ(h.view.errors.size(), 2u);
  EXPECT_TRUE(h.Exists(h.AircraftFile()));
}

TEST_F(FormTest, CloseWritesAndOpensTheRouteAndRestoresTheSeparator) {
  Start();
  EXPECT_TRUE(form.OnCloseRequested());
  EXPECT_TRUE(h.Exists(h.RouteFile()));
  EXPECT_NE(h.ReadFile(h.RouteFile()).find("<coordinates></coordinates>"), std::string::npos);
  ASSERT_EQ(h.platform.shell_requests.size(), 1u);
  EXPECT_EQ(h.platform.shell_requests[0].file, h.RouteFile());
  EXPECT_EQ(h.decimal.separator, ',');
  form.OnTerminateRequested();
  EXPECT_TRUE(form.OnCloseRequested());
  EXPECT_EQ(h.platform.shell_requests.size(), 1u) << "the close handling runs once";
}

// A start that never flies still writes an empty route at close; the flight it replaces is kept.
TEST_F(FormTest, EarlierFlightIsKeptBeforeThisRunReplacesIt) {
  const std::string flight = "<kml><coordinates>14.250000,50.100000,0 </coordinates></kml>\r\n";
  std::ofstream(h.RouteFile(), std::ios::binary) << flight;
  h.ServerRunning(false);
  Start();
  EXPECT_TRUE(form.OnCloseRequested());
  EXPECT_NE(h.ReadFile(h.RouteFile()).find("<coordinates></coordinates>"), std::string::npos);
  const std::filesystem::path kept = h.File("Quorvane flights");
  ASSERT_TRUE(std::filesystem::is_directory(kept));
  const auto entry = std::filesystem::directory_iterator(kept);
  ASSERT_NE(entry, std::filesystem::directory_iterator());
  EXPECT_EQ(h.ReadFile(entry->path().string()), flight);
  EXPECT_EQ(entry->path().filename().string().rfind("trasa 20", 0), 0u);
}

TEST_F(FormTest, CloseWhoseRouteSaveFailsAsksAndMayStayOpen) {
  Start();
  std::filesystem::remove_all(h.folder);
  h.view.close_anyway = false;
  EXPECT_FALSE(form.OnCloseRequested());
  ASSERT_EQ(h.view.questions.size(), 1u);
  EXPECT_EQ(h.view.questions[0].rfind("Cannot create file \"" + h.RouteFile() + "\". ", 0), 0u);
  EXPECT_TRUE(h.platform.shell_requests.empty());
  EXPECT_EQ(h.decimal.separator, '.') << "not restored while the window stays";

  h.view.close_anyway = true;
  EXPECT_TRUE(form.OnCloseRequested());
  EXPECT_TRUE(h.platform.shell_requests.empty());
  EXPECT_EQ(h.decimal.separator, ',');
}

TEST_F(FormTest, TerminationNeverAsks) {
  Start();
  std::filesystem::remove_all(h.folder);
  form.OnTerminateRequested();
  EXPECT_TRUE(h.view.questions.empty());
  EXPECT_TRUE(h.view.errors.empty());
  ASSERT_EQ(h.view.logged.size(), 1u) << "the failure is not lost";
  EXPECT_EQ(h.view.logged[0].rfind("Cannot create file \"" + h.RouteFile() + "\". ", 0), 0u);
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(h.view.program_ends, 1);
}

// --- Ending in every state ---

// The request arrives through the box's own message loop: the box goes, the close handling runs
// there, once, and the program ends; the handler that opened the box then unwinds.
TEST_F(FormTest, TerminationWhileAnErrorBoxWaitsDismissesItAndEnds) {
  Start();
  h.PutAircraft({50.2, 14.3, 90.0, 0.0, 80.0, 300.0});
  std::filesystem::remove(h.AircraftFile());
  std::filesystem::create_directory(h.AircraftFile());  // "letadlo.kml" cannot be saved
  h.view.while_error_shown = [this] { form.OnTerminateRequested(); };
  h.clock.Advance(60000);
  EXPECT_EQ(h.view.errors.size(), 1u);
  EXPECT_EQ(h.view.dismissals, 1);
  EXPECT_EQ(h.view.program_ends, 1);
  EXPECT_TRUE(form.Closed());
  EXPECT_NE(h.ReadFile(h.RouteFile()).find("<coordinates>14.300000,50.200000,0 </coordinates>"),
            std::string::npos)
      << "the route, with the fix of the failed save";
  ASSERT_EQ(h.platform.shell_requests.size(), 1u);
  EXPECT_EQ(h.platform.shell_requests[0].file, h.RouteFile());

  h.clock.Advance(120000);
  form.OnTerminateRequested();
  EXPECT_TRUE(form.OnCloseRequested());
  EXPECT_EQ(h.platform.shell_requests.size(), 1u) << "the close handling ran once";
  EXPECT_EQ(h.view.program_ends, 1);
}

TEST_F(FormTest, TerminationWhileTheCloseHandlingAsksClosesWithoutTheAnswer) {
  Start();
  std::filesystem::remove_all(h.folder);
  h.view.close_anyway = false;  // the user would have said "No"
  h.view.while_question_shown = [this] { form.OnTerminateRequested(); };
  EXPECT_TRUE(form.OnCloseRequested());
  EXPECT_EQ(h.view.questions.size(), 1u);
  EXPECT_EQ(h.view.dismissals, 1);
  EXPECT_EQ(h.view.program_ends, 1) << "once, when the close handling under way has ended";
  EXPECT_EQ(h.decimal.separator, ',');
  EXPECT_TRUE(form.Closed());
}

TEST_F(FormTest, TerminationDuringStartUpClosesBeforeTheWindowShows) {
  std::filesystem::create_directory(h.AircraftFile());
  h.view.while_error_shown = [this] { form.OnTerminateRequested(); };
  form.OnCreate();  // the first update's save fails: a box, before the message loop
  EXPECT_TRUE(form.Closed()) << "the program does not go on to show the window";
  EXPECT_EQ(h.view.program_ends, 1);
  EXPECT_TRUE(h.Exists(h.RouteFile()));
}

// A signal (or the end of the session) while an exchange waits for a frozen server: the wait
// gives up at once and no further attempt or read is made.
TEST_F(FormTest, TerminationWhileTheLinkWaitsEndsTheExchange) {
  Start();
  const int attempts_before = h.services.send_attempts;
  h.services.on_send = [this](std::uint8_t*) {
    form.OnTerminateRequested();  // the wait ends as interrupted (EINTR)
    return testing::SendOutcome{false, 0, 4};
  };
  h.clock.Advance(60000);
  EXPECT_EQ(h.services.send_attempts, attempts_before + 1) << "no attempt after the first";
  EXPECT_EQ(h.services.sleeps.size(), 1u) << "only the handshake's pause";
  EXPECT_EQ(form.PanelText(2), "Processing: IPC sendmessage failed all retries");
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(h.view.program_ends, 1);
}

// The window takes events while the link waits (so that a close is never held up); what would
// use the link meanwhile is dropped, and the close ends the wait.
TEST_F(FormTest, CloseWhileTheLinkWaitsEndsTheWaitAndNothingNests) {
  Start();
  form.OnAutoRunClicked(false);
  const int attempts_before = h.services.send_attempts;
  int nested_attempts = 0;
  h.services.on_send = [&](std::uint8_t*) {
    const int before = h.services.send_attempts;
    form.OnShowButtonClicked();
    form.OnRetryTimerTick();
    form.OnUpdateTimerTick();
    nested_attempts += h.services.send_attempts - before;
    EXPECT_TRUE(form.OnCloseRequested());
    return testing::SendOutcome{false, 0, 0};
  };
  h.clock.Advance(60000);
  EXPECT_EQ(nested_attempts, 0);
  EXPECT_EQ(h.services.send_attempts, attempts_before + 1);
  EXPECT_TRUE(form.Closed());
  EXPECT_EQ(h.view.program_ends, 0) << "a user's close ends the program the ordinary way";
  h.clock.Advance(120000);
  EXPECT_EQ(h.services.send_attempts, attempts_before + 1) << "a closed window samples no more";
}

TEST_F(FormTest, RefusedCloseLetsTheLinkGoOn) {
  Start();
  std::filesystem::remove_all(h.folder);
  h.view.close_anyway = false;
  EXPECT_FALSE(form.OnCloseRequested());
  EXPECT_FALSE(h.services.interrupt.Requested());
  std::filesystem::create_directory(h.folder);
  h.clock.Advance(60000);
  EXPECT_EQ(form.PanelText(2), kSummary) << "the next update samples as before";
}

TEST_F(FormTest, SlowServerDoesNotNestRetryTicks) {
  Start();
  // The server's window stays but it stops answering: every attempt waits out its time-out.
  h.services.on_send = [this](std::uint8_t*) {
    h.clock.Pass(2000);
    return testing::SendOutcome{false, 0, 0};
  };
  h.services.on_sleep = [this](std::uint32_t ms) { h.clock.Pass(ms); };
  std::vector<long long> attempts;
  h.services.on_find = [this, &attempts] { attempts.push_back(h.clock.now_ms()); };
  h.clock.Advance(60000);  // the update's sample times out on its first read
  EXPECT_EQ(form.PanelText(2), "Processing: IPC timed out all retries");
  ASSERT_TRUE(h.retry_timer->running());
  h.clock.Advance(120000);
  ASSERT_GE(attempts.size(), 3u);
  // Each opening attempt spends one handshake exchange of ten timed-out sends (21 s); the next
  // attempt begins 5 s after it ended, never nested inside it.
  for (std::size_t i = 1; i < attempts.size(); ++i) {
    EXPECT_EQ(attempts[i] - attempts[i - 1], 21000 + 5000) << i;
  }
  EXPECT_EQ(form.PanelText(1), "Connect: IPC timed out all retries");
}

}  // namespace
}  // namespace quorvane
