// The native Windows window, run under Wine in CI: the end of the session while an error box
// waits for the user.

#include "app/win32/main_window_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "app/main_form.h"
#include "kml/earlier_runs.h"
#include "kml/kml_documents.h"
#include "kml/live_view_document.h"
#include "kml/platform_files.h"
#include "kml/track_recorder.h"
#include "kml/xml_writer.h"
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

TEST(Win32Window, EndOfTheSessionDuringAnErrorBoxEndsItAndClosesTheWindow) {
  Folder folder;
  MainWindowWin32 window(GetModuleHandleA(nullptr));
  FakePlatform platform;
  platform.documents_folder = folder.path();
  FakeDecimalSeparator decimal;
  FakeLinkServices services;
  services.PutServerWords();
  FsuipcLink link{services};
  XmlWriter writer;
  KmlDocuments documents{writer, PlatformFileSystem(), ""};
  LiveViewDocument live_view{PlatformFileSystem(), ""};
  TrackRecorder track{PlatformFileSystem(), ""};
  EarlierRuns earlier_runs{PlatformFileSystem()};
  TForm1 form{FormContext{window,
                          platform,
                          decimal,
                          link,
                          documents,
                          window.UpdateTimer(),
                          window.RetryTimer(),
                          {},
                          live_view,
                          track,
                          [] { return std::chrono::system_clock::now(); },
                          services.interrupt,
                          earlier_runs}};
  window.Attach(form);
  form.OnCreate();
  ASSERT_FALSE(form.Closed());

  // The box's own message loop takes the end of the session: the box goes, the close handling
  // runs without a question, and the window is asked to close.
  PostMessageA(window.Handle(), WM_ENDSESSION, TRUE, 0);
  const auto shown = std::chrono::steady_clock::now();
  window.ShowError("Cannot create file \"letadlo.kml\". Access is denied");
  EXPECT_LT(std::chrono::steady_clock::now() - shown, std::chrono::seconds(5));
  EXPECT_TRUE(IsWindow(window.Handle())) << "the box was ended, not taken down with the window";
  EXPECT_TRUE(form.Closed());
  EXPECT_NE(GetFileAttributesA((folder.path() + "\\trasa.kml").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(window.Run(), 0) << "the message loop ends once the window has closed";
}

}  // namespace
}  // namespace quorvane
