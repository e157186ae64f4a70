// The stored window settings through the window's own events, with a fake window and a real
// settings file in a scratch folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "app/settings/ini_file.h"
#include "files/platform_files.h"
#include "tests/app/fake_placement_window.h"
#include "tests/app/form_harness.h"
#include "tests/files/files_test_support.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using testing::FailingFileSystem;
using testing::FakePlacementWindow;
using testing::FormHarness;

// One run of the program: the window, its logic and its two stores over the settings file.
struct ProgramRun {
  explicit ProgramRun(const std::string& file, FileSystem& files = PlatformFileSystem(),
                      bool live_sampling = false)
      : ini_files(files),
        harness(PlatformFileSystem(), {}, SettingsPlace{window, ini_files, file}, live_sampling) {}

  void Start() {
    harness.form->OnCreate();
    harness.form->OnShow();
    window.visible = true;
  }
  bool Close() { return harness.form->OnCloseRequested(); }
  // The update interval now, in seconds.
  int Interval() const { return harness.update_timer->period_ms() / 1000; }

  FakePlacementWindow window;
  IniFiles ini_files;
  FormHarness harness;
};

class SettingsTest : public ::testing::Test {
 protected:
  std::string Read() const {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Write(const std::string& text) const { std::ofstream(file, std::ios::binary) << text; }

  fs::path folder = testing::UniqueTemporaryFolder("quorvane-settings");
  std::string file = (fs::create_directories(folder), (folder / "quorvane.INI").string());
  ~SettingsTest() override { fs::remove_all(folder); }
};

constexpr const char* kFirstRunFile =
    "[TForm1]\r\n"
    "FormVersion=0\r\n"
    "Flags=0\r\n"
    "ShowCmd=1\r\n"
    "PixelsPerInch=96\r\n"
    "MinMaxPos(1280x1024)=-1,-1,-4,-4\r\n"
    "MinMaxPos=-1,-1,-4,-4\r\n"
    "NormPos(1280x1024)=482,254,1095,619\r\n"
    "NormPos=482,254,1095,619\r\n"
    "Visible=0\r\n"
    "RxSpinEdit1_Value=60\r\n"
    "CheckBox1_Checked=False\r\n"
    "CheckBox2_Checked=False\r\n";

TEST_F(SettingsTest, FirstRunStartsAsDesignedAndClosingWritesTheTwelveKeys) {
  ProgramRun run(file);
  run.Start();
  EXPECT_EQ(run.window.placement.normal, (Rect{482, 254, 1095, 619}));
  EXPECT_EQ(run.Interval(), 60);
  EXPECT_FALSE(run.harness.form->AutoRun());
  EXPECT_TRUE(run.harness.view.errors.empty());
  EXPECT_FALSE(fs::exists(file)) << "showing writes nothing";
  ASSERT_TRUE(run.Close());
  EXPECT_EQ(Read(), kFirstRunFile);
  run.harness.form->OnDestroy();
  EXPECT_EQ(Read(), kFirstRunFile) << "a completed save is not repeated at destroy";
}

// The live view's rate is the user's own section: read, kept as written, never added.
struct LiveViewSecondsCase {
  const char* text;  // the settings file before the run; empty: no file
  int seconds;       // the live view's sampling period the run takes
};

class LiveViewSecondsTest : public SettingsTest,
                            public ::testing::WithParamInterface<LiveViewSecondsCase> {};

TEST_P(LiveViewSecondsTest, AreReadWithTheirRulesAndNeverWritten) {
  const std::string before = GetParam().text;
  if (!before.empty()) {
    Write(before);
  }
  ProgramRun run(file, PlatformFileSystem(), true);
  run.Start();
  EXPECT_EQ(run.harness.live_timer->period_ms(), GetParam().seconds * 1000);
  EXPECT_NE(run.harness.ReadFile(run.harness.File("Quorvane live.kml"))
                .find("<refreshInterval>" + std::to_string(GetParam().seconds) + "<"),
            std::string::npos);
  EXPECT_TRUE(run.harness.view.errors.empty());
  ASSERT_TRUE(run.Close());
  if (before.empty()) {
    EXPECT_EQ(Read(), kFirstRunFile) << "no [LiveView] section added";
  } else {
    EXPECT_EQ(Read().substr(0, before.size()), before) << "the section kept as written";
  }
}

INSTANTIATE_TEST_SUITE_P(Values, LiveViewSecondsTest,
                         ::testing::Values(LiveViewSecondsCase{"", 2},
                                           LiveViewSecondsCase{"[LiveView]\r\nSeconds=5\r\n", 5},
                                           LiveViewSecondsCase{"[liveview]\r\nSECONDS=1\r\n", 1},
                                           LiveViewSecondsCase{"[LiveView]\r\nSeconds= 7 \r\n", 7},
                                           LiveViewSecondsCase{"[LiveView]\r\nSeconds=10\r\n", 10},
                                           LiveViewSecondsCase{"[LiveView]\r\nSeconds=0\r\n", 1},
                                           LiveViewSecondsCase{"[LiveView]\r\nSeconds=-3\r\n", 1},
                                           LiveViewSecondsCase{"[LiveView]\r\nSeconds=11\r\n", 10},
                                           LiveViewSecondsCase{"[LiveView]\r\nSeconds=abc\r\n", 2},
                                           LiveViewSecondsCase{"[LiveView]\r\nSeconds=2.5\r\n", 2},
                                           LiveViewSecondsCase{"[LiveView]\r\nSeconds=\r\n", 2},
                                           LiveViewSecondsCase{
                                               "[LiveView]\r\nSeconds=99999999999999999999\r\n", 2},
                                           LiveViewSecondsCase{"[TForm1]\r\nSeconds=5\r\n", 2}));

TEST_F(SettingsTest, PlaceStateIntervalAndCheckBoxesComeBack) {
  {
    ProgramRun first(file);
    first.Start();
    first.window.placement.normal = {100, 120, 800, 600};
    first.window.state = WindowState::Maximized;
    first.harness.form->OnIntervalTyped("120");
    first.harness.form->OnAutoRunClicked(true);
    first.harness.form->OnViewerSelectClicked(true);
    ASSERT_TRUE(first.Close());
  }
  EXPECT_NE(Read().find("ShowCmd=3\r\n"), std::string::npos);
  ProgramRun second(file);
  second.Start();
  EXPECT_EQ(second.window.placement.normal, (Rect{100, 120, 800, 600}));
  EXPECT_EQ(second.window.state, WindowState::Maximized);
  EXPECT_EQ(second.window.placement.max_position, (Point{-4, -4}));
  EXPECT_EQ(second.Interval(), 120);
  EXPECT_TRUE(second.harness.form->AutoRun());
  EXPECT_FALSE(second.harness.view.button_enabled) << "CheckBox1Click ran";
  EXPECT_TRUE(second.harness.form->ViewerSelect());
}

TEST_F(SettingsTest, MinimizedApplicationIsStoredAndMinimizesItselfAtTheNextStart) {
  {
    ProgramRun first(file);
    first.Start();
    first.window.application_minimized = true;
    ASSERT_TRUE(first.Close());
  }
  EXPECT_NE(Read().find("ShowCmd=2\r\n"), std::string::npos);
  ProgramRun second(file);
  second.Start();
  EXPECT_TRUE(second.window.minimize_posted);
  EXPECT_EQ(second.window.state, WindowState::Normal);
}

TEST_F(SettingsTest, AnotherScreenSizeFallsBackToThePlainKeys) {
  Write(
      "[TForm1]\r\nNormPos(1280x1024)=10,10,623,375\r\nNormPos=20,20,633,385\r\n"
      "NormPos(1920x1080)=30,30,643,395\r\n");
  {
    ProgramRun run(file);
    run.window.screen = {1920, 1080};
    run.Start();
    EXPECT_EQ(run.window.placement.normal, (Rect{30, 30, 643, 395}));
  }
  {
    ProgramRun run(file);
    run.window.screen = {1024, 768};
    run.Start();
    EXPECT_EQ(run.window.placement.normal, (Rect{20, 20, 633, 385}));
    ASSERT_TRUE(run.Close());
  }
  EXPECT_NE(Read().find("NormPos(1024x768)=20,20,633,385\r\n"), std::string::npos);
  EXPECT_NE(Read().find("NormPos(1920x1080)=30,30,643,395\r\n"), std::string::npos)
      << "each screen size keeps its own pair";
}

TEST_F(SettingsTest, AnotherPixelsPerInchRestoresTheStateButNotThePosition) {
  Write("[TForm1]\r\nPixelsPerInch=120\r\nNormPos=10,10,623,375\r\nShowCmd=3\r\n");
  ProgramRun run(file);
  run.Start();
  EXPECT_EQ(run.window.placement.normal, (Rect{482, 254, 1095, 619}));
  EXPECT_EQ(run.window.state, WindowState::Maximized);
}

TEST_F(SettingsTest, StoredValuesGoThroughTheControlsOwnRules) {
  struct Case {
    const char* lines;
    int interval;
    bool auto_run;
  };
  for (const Case& c :
       {Case{"RxSpinEdit1_Value=abc", 60, false}, Case{"RxSpinEdit1_Value=5", 10, false},
        Case{"RxSpinEdit1_Value= 90.6 ", 91, false}, Case{"CheckBox1_Checked=TRUE", 60, true},
        Case{"CheckBox1_Checked=1", 60, false},
        Case{"CheckBox1_Checked=true\r\nRxSpinEdit1_Value=1e400", 60, true}}) {
    Write(std::string("[TForm1]\r\n") + c.lines + "\r\n");
    ProgramRun run(file);
    run.Start();
    EXPECT_EQ(run.Interval(), c.interval) << c.lines;
    EXPECT_EQ(run.harness.form->AutoRun(), c.auto_run) << c.lines;
    EXPECT_EQ(run.harness.form->ShowButtonEnabled(), !c.auto_run) << c.lines;
    EXPECT_TRUE(run.harness.view.errors.empty()) << c.lines;
  }
}

// "3D" came later than the other controls: a file without its key reads as off, and stays as
// it was until the box is ticked; from then on the key is kept like the others.
TEST_F(SettingsTest, ThreeDIsStoredOnceTickedAndRestoredIntoTheDocuments) {
  struct Step {
    const char* before;  // the file's [TForm1] lines before the run
    bool tick;           // the run's last word on "3D"
    bool restored;       // "3D" as the run starts
    const char* after;   // CheckBox3's line in the file after the run, or "" for none
  };
  for (const Step& step :
       {Step{"", false, false, ""}, Step{"CheckBox3_Checked=True\r\n", true, true, "True"},
        Step{"CheckBox3_Checked=True\r\n", false, true, "False"},
        Step{"CheckBox3_Checked=False\r\n", false, false, "False"},
        Step{"CheckBox3_Checked=maybe\r\n", false, false, "False"},
        Step{"checkbox3_checked=TRUE\r\n", true, true, "True"}, Step{"", true, false, "True"}}) {
    SCOPED_TRACE(std::string(step.before) + (step.tick ? " ticked" : " not ticked"));
    Write(std::string("[TForm1]\r\n") + step.before);
    ProgramRun run(file);
    run.harness.PutAircraft({50.1, 14.25, 90.0, 0.0, 80.0, 300.0, 914.5});
    run.Start();
    EXPECT_EQ(run.harness.form->ThreeD(), step.restored);
    EXPECT_EQ(run.harness.view.three_d, step.restored);
    // The first update runs at start-up, before the settings are restored; the next one
    // follows the restored box.
    run.harness.clock.Advance(60000);
    EXPECT_EQ(run.harness.ReadFile(run.harness.AircraftFile()).find(",914.5</coordinates>") !=
                  std::string::npos,
              step.restored);
    if (step.tick != step.restored) {
      run.harness.form->OnThreeDClicked(step.tick);
    }
    ASSERT_TRUE(run.Close());
    const std::string text = Read();
    const std::size_t at = text.find("3_Checked=");
    EXPECT_EQ(at == std::string::npos ? "" : text.substr(at + 10, text.find('\r', at) - at - 10),
              step.after);
    if (*step.after == '\0') {
      EXPECT_EQ(text, std::string("[TForm1]\r\n") + (kFirstRunFile + 10))
          << "the file of a user who never ticked it is as it always was";
    }
  }
}

TEST_F(SettingsTest, StoredAutoRunTakesEffectBeforeFormShow) {
  Write("[TForm1]\r\nCheckBox1_Checked=True\r\n");
  ProgramRun run(file);
  run.harness.ServerRunning(false);
  run.harness.form->OnCreate();
  EXPECT_FALSE(run.harness.form->AutoRun()) << "start-up runs with AutoRun off";
  // Without a server, FormShow starts the retry timer: look at "Show" at that moment.
  bool show_enabled_at_form_show = true;
  run.harness.retry_timer->on_start = [&] {
    show_enabled_at_form_show = run.harness.form->ShowButtonEnabled();
  };
  run.harness.form->OnShow();
  ASSERT_EQ(run.harness.retry_timer->starts, 1);
  EXPECT_FALSE(show_enabled_at_form_show) << "CheckBox1Click ran before FormShow";
}

TEST_F(SettingsTest, LowerFormVersionSkipsTheRestoreAndIsWrittenAgainAsZero) {
  Write("[TForm1]\r\nFormVersion=-1\r\nRxSpinEdit1_Value=300\r\nNormPos=1,1,600,400\r\n");
  ProgramRun run(file);
  run.Start();
  EXPECT_EQ(run.Interval(), 60);
  EXPECT_EQ(run.window.placement.normal, (Rect{482, 254, 1095, 619}));
  ASSERT_TRUE(run.Close());
  EXPECT_NE(Read().find("FormVersion=0\r\n"), std::string::npos);
}

// The program ended without its window being asked to close (the window was destroyed with the
// session, say): the settings are saved as it is destroyed, recording that it was visible.
TEST_F(SettingsTest, EndWithoutACloseSavesAtDestroyAsVisible) {
  ProgramRun run(file);
  run.Start();
  run.harness.form->OnIntervalTyped("120");
  EXPECT_FALSE(fs::exists(file));
  run.harness.form->OnDestroy();
  EXPECT_NE(Read().find("Visible=1\r\n"), std::string::npos);
  EXPECT_NE(Read().find("RxSpinEdit1_Value=120\r\n"), std::string::npos);
}

TEST_F(SettingsTest, ReadOnlyFolderReportsAtCloseAndAgainAtDestroyAndStillEnds) {
  // A folder without the right to write: no file can be created there.
  FailingFileSystem read_only(FailingFileSystem::Step::kCreate);
  ProgramRun run("./quorvane.INI", read_only);
  run.Start();
  EXPECT_TRUE(run.Close()) << "the window still closes";
  ASSERT_EQ(run.harness.view.errors.size(), 2u) << "one message for each store";
  EXPECT_EQ(run.harness.view.errors[0], "Unable to write to ./quorvane.INI");
  run.harness.form->OnDestroy();
  EXPECT_EQ(run.harness.view.errors.size(), 4u) << "each store tries once more at destroy";
}

// Whichever step of writing the file fails, the close reports it and the earlier file stays
// whole, with nothing left beside it.
class SettingsSaveStepTest : public SettingsTest,
                             public ::testing::WithParamInterface<FailingFileSystem::Step> {};

TEST_P(SettingsSaveStepTest, FailedStepIsReportedAndLeavesTheEarlierFileWhole) {
  Write(kFirstRunFile);
  FailingFileSystem failing(GetParam(), "quorvane.INI");
  {
    ProgramRun run(file, failing);
    run.Start();
    run.harness.form->OnIntervalTyped("300");
    EXPECT_TRUE(run.Close()) << "the window still closes";
    ASSERT_FALSE(run.harness.view.errors.empty());
    EXPECT_EQ(run.harness.view.errors.front(), "Unable to write to " + file);
  }
  EXPECT_EQ(Read(), kFirstRunFile);
  std::set<std::string> entries;
  for (const auto& entry : fs::directory_iterator(folder)) {
    entries.insert(entry.path().filename().string());
  }
  EXPECT_EQ(entries, std::set<std::string>{"quorvane.INI"});
}

INSTANTIATE_TEST_SUITE_P(Steps, SettingsSaveStepTest,
                         ::testing::ValuesIn(FailingFileSystem::kFailingSteps),
                         testing::StepCaseName);

TEST_F(SettingsTest, DamagedFilesGiveTheDefaults) {
  for (const std::string& text :
       {std::string("\0\xff\xfe[TForm1\r\n=\r\n==\r\n[]\r\nNormPos=,,,\r\n", 30),
        std::string("[TForm1]\r\nNormPos=x,y\r\nShowCmd=zz\r\nFlags=0x\r\nPixelsPerInch=q\r\n"),
        std::string("[TForm1]\r\nNormPos=900,900,10,10\r\n"), std::string(3 * 1024 * 1024, '[')}) {
    Write(text);
    ProgramRun run(file);
    run.Start();
    EXPECT_EQ(run.Interval(), 60);
    EXPECT_EQ(run.window.state, WindowState::Normal);
    EXPECT_GT(run.window.placement.normal.right, run.window.placement.normal.left);
    EXPECT_TRUE(run.harness.view.errors.empty());
    EXPECT_TRUE(run.Close());
  }
}

// Other programs' sections and anything else in the file survive a save, however large the file.
TEST_F(SettingsTest, LargeFileIsReadWholeAndKeepsEverythingElse) {
  const std::string other = "[Other]\r\nKey=kept\r\n" + std::string(2 * 1024 * 1024, ';') + "\r\n";
  Write(other + "[TForm1]\r\nRxSpinEdit1_Value=120\r\n[Last]\r\nEnd=here\r\n");
  {
    ProgramRun run(file);
    run.Start();
    EXPECT_EQ(run.Interval(), 120) << "a key after the first MiB is read";
    EXPECT_TRUE(run.Close());
  }
  const std::string saved = Read();
  EXPECT_EQ(saved.rfind(other, 0), 0u);
  EXPECT_NE(saved.find("[Last]\r\nEnd=here\r\n"), std::string::npos);
  EXPECT_NE(saved.find("RxSpinEdit1_Value=120\r\n"), std::string::npos);
}

// A settings "file" that cannot be read whole gives the defaults, is reported at close, and is
// left as it was: replacing it would throw away what could not be read.
TEST_F(SettingsTest, FileThatCannotBeReadWholeIsLeftUntouched) {
  const std::string huge =
      "[TForm1]\r\nRxSpinEdit1_Value=120\r\n" + std::string(IniFile::kMaxFileSize, ';');
  for (const bool folder_instead : {false, true}) {
    SCOPED_TRACE(folder_instead);
    fs::remove_all(file);
    if (folder_instead) {
      fs::create_directory(file);
    } else {
      Write(huge);
    }
    {
      ProgramRun run(file);
      run.Start();
      EXPECT_EQ(run.Interval(), 60);
      EXPECT_TRUE(run.Close()) << "the window still closes";
      ASSERT_FALSE(run.harness.view.errors.empty());
      EXPECT_EQ(run.harness.view.errors.front(), "Unable to write to " + file);
    }
    if (folder_instead) {
      EXPECT_TRUE(fs::is_directory(file));
    } else {
      EXPECT_EQ(Read(), huge);
    }
  }
}

TEST_F(SettingsTest, MalformedWordsTakeTheCurrentPlacement) {
  Write("[TForm1]\r\nNormPos=100,x\r\n");
  ProgramRun run(file);
  run.Start();
  EXPECT_EQ(run.window.placement.normal, (Rect{100, 254, 1095, 619}));
}

TEST_F(SettingsTest, WindowLeftOnAMissingScreenComesBackOntoThePrimaryOne) {
  Write("[TForm1]\r\nNormPos=2000,100,2613,465\r\n");
  ProgramRun run(file);
  run.Start();
  const Rect& normal = run.window.placement.normal;
  EXPECT_EQ(normal.Width(), 613);
  EXPECT_EQ(normal.Height(), 365);
  EXPECT_GE(normal.left, 0);
  EXPECT_LE(normal.right, 1280);
  EXPECT_LE(normal.bottom, 1024);
}

TEST(BringOntoScreen, KeepsVisibleWindowsAndMovesLostOnes) {
  const std::vector<Rect> screens = {{0, 0, 1280, 1024}, {1280, 0, 3200, 1080}};
  EXPECT_EQ(BringOntoScreen({1500, 100, 2113, 465}, screens), (Rect{1500, 100, 2113, 465}));
  EXPECT_EQ(BringOntoScreen({-500, 10, 113, 375}, screens), (Rect{-500, 10, 113, 375}))
      << "partly off the edge, but enough of it visible";
  EXPECT_EQ(BringOntoScreen({3190, 10, 3803, 375}, screens), (Rect{333, 329, 946, 694}))
      << "ten pixels on a screen are not enough to take hold of";
  EXPECT_EQ(BringOntoScreen({5000, 5000, 7000, 7000}, {{0, 0, 800, 600}}), (Rect{0, 0, 800, 600}))
      << "too large for the primary screen: shrunk to it";
}

TEST(IniText, BehavesLikeTheProfileFunctions) {
  IniText ini(
      "[Other]\r\nKey=other\r\n\r\n[TForm1]\r\nA=1\r\nB='quoted'\r\nC=\"x\r\n\r\n[Last]\r\n");
  EXPECT_EQ(ini.ReadString("tform1", "a", "d"), "1") << "names are found without regard to case";
  EXPECT_EQ(ini.ReadString("TForm1", "B", "d"), "quoted");
  EXPECT_EQ(ini.ReadString("TForm1", "C", "d"), "\"x") << "only a matching pair is stripped";
  EXPECT_EQ(ini.ReadString("TForm1", "Key", "d"), "d");
  ini.WriteString("TForm1", "A", "2");
  ini.WriteString("TForm1", "New", "n");
  ini.WriteString("Fresh", "K", "v");
  EXPECT_EQ(ini.Text(),
            "[Other]\r\nKey=other\r\n\r\n[TForm1]\r\nA=2\r\nB='quoted'\r\nC=\"x\r\nNew=n\r\n\r\n"
            "[Last]\r\n[Fresh]\r\nK=v\r\n");
  IniText long_value("[S]\r\nK=" + std::string(5000, 'v') + "\r\n");
  EXPECT_EQ(long_value.ReadString("S", "K", "").size(), 2047u);
}

TEST(StoredText, NumbersAndIntegers) {
  EXPECT_EQ(FloatPropertyText(60), "60");
  EXPECT_EQ(FloatPropertyText(0.5), "0.5");
  EXPECT_EQ(FloatPropertyText(0.000001), "1E-6");
  EXPECT_EQ(FloatPropertyText(-600), "-600");
  EXPECT_DOUBLE_EQ(ParseFloatPropertyText(" 60.5 "), 60.5);
  EXPECT_THROW(ParseFloatPropertyText("60,5"), std::invalid_argument);
  EXPECT_THROW(ParseFloatPropertyText(""), std::invalid_argument);
  EXPECT_DOUBLE_EQ(ParseFloatPropertyText("+5"), 5.0);
  EXPECT_THROW(ParseFloatPropertyText("+-5"), std::invalid_argument) << "one sign only";
  EXPECT_THROW(ParseFloatPropertyText("+"), std::invalid_argument);
  EXPECT_EQ(ParseStoredInteger("0x10", 7), 16);
  EXPECT_EQ(ParseStoredInteger("0X1f", 7), 31);
  EXPECT_EQ(ParseStoredInteger("0x", 7), 7);
  EXPECT_EQ(ParseStoredInteger("-5", 7), -5);
  EXPECT_EQ(ParseStoredInteger("+5", 7), 5);
  EXPECT_EQ(ParseStoredInteger("+-5", 7), 7) << "one sign only";
  EXPECT_EQ(ParseStoredInteger("12abc", 7), 7);
  EXPECT_EQ(ParseStoredInteger("99999999999", 7), 7);
  EXPECT_EQ(SettingsFileName("/usr/bin/quorvane"), "./quorvane.INI");
  EXPECT_EQ(SettingsFileName("C:\\Programs\\quorvane.exe"), "./quorvane.INI");
  EXPECT_EQ(SettingsFileName("a.b.c"), "./a.b.INI");
}

}  // namespace
}  // namespace quorvane
