// The Windows desktop services and the settings file through the real profile functions, run
// under Wine in CI.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "app/settings/form_storage.h"
#include "app/viewer_rule.h"
#include "app/win32/platform_services_win32.h"
#include "app/win32/win32_profile_file.h"
#include "files/platform_files.h"
#include "tests/files/files_test_support.h"

namespace quorvane {
namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Sets the "Personal" value for a test and puts the original back afterwards.
class PersonalValue {
 public:
  PersonalValue() {
    RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                    nullptr);
    DWORD size = sizeof saved_;
    had_value_ = RegQueryValueExA(key_, "Personal", nullptr, &saved_type_,
                                  reinterpret_cast<BYTE*>(saved_), &size) == ERROR_SUCCESS;
    saved_size_ = size;
  }
  ~PersonalValue() {
    if (had_value_) {
      RegSetValueExA(key_, "Personal", 0, saved_type_, reinterpret_cast<BYTE*>(saved_),
                     saved_size_);
    } else {
      RegDeleteValueA(key_, "Personal");
    }
    RegCloseKey(key_);
  }
  void SetText(const std::string& text) {
    RegSetValueExA(key_, "Personal", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
  }
  void SetNumber(DWORD number) {
    RegSetValueExA(key_, "Personal", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
  }
  void Remove() { RegDeleteValueA(key_, "Personal"); }

 private:
  HKEY key_ = nullptr;
  bool had_value_ = false;
  DWORD saved_type_ = 0;
  DWORD saved_size_ = 0;
  char saved_[1024] = {};
};

TEST(Win32Services, DocumentsFolderIsTheRegistryValueAsStored) {
  PersonalValue personal;
  Win32PlatformServices services;
  personal.SetText("C:\\Users\\pilot\\My Documents\\");
  EXPECT_EQ(services.DocumentsFolder(), "C:\\Users\\pilot\\My Documents\\");
  personal.SetText("%USERPROFILE%\\Documents");
  EXPECT_EQ(services.DocumentsFolder(), "%USERPROFILE%\\Documents") << "nothing expanded";
  personal.SetNumber(7);
  EXPECT_THROW(services.DocumentsFolder(), std::runtime_error);
}

// Without the value the files would go to the root of the current drive: the shell's own
// Documents folder is used instead.
TEST(Win32Services, MissingOrEmptyValueGivesTheKnownDocumentsFolder) {
  PersonalValue personal;
  Win32PlatformServices services;
  personal.Remove();
  EXPECT_EQ(services.RegistryDocumentsFolder(), "");
  const std::string known = services.DocumentsFolder();
  ASSERT_GE(known.size(), 3u);
  EXPECT_EQ(known.substr(1, 2), ":\\") << known;
  const DWORD attributes = GetFileAttributesA(known.c_str());
  EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << known;
  personal.SetText("");
  EXPECT_EQ(services.DocumentsFolder(), known);
}

TEST(Win32Services, ForegroundTitleFeedsTheViewerRule) {
  Win32PlatformServices services;
  for (const auto& [title, matches] :
       std::initializer_list<std::pair<std::string, bool>>{{"Google Earth Pro", true},
                                                           {"My Google Earth", false},
                                                           {std::string(150, 'g'), false}}) {
    HWND window =
        CreateWindowExA(0, "STATIC", title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                        100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    const auto seen = services.ForegroundWindowTitle();
    ASSERT_TRUE(seen) << "Wine names a foreground window";
    EXPECT_LE(seen->size(), 119u) << "a 120-character buffer";
    EXPECT_EQ(seen->substr(0, 12), title.substr(0, 12));
    EXPECT_EQ(TitleShowsViewer(seen), matches) << title;
    DestroyWindow(window);
  }
}

TEST(Win32Services, KeptOpenFileIsCreatedEmptyOrReportsWhyNot) {
  Win32PlatformServices services;
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + "quorvane-dyn.txt";
  {
    FILE* file = std::fopen(path.c_str(), "w");
    std::fputs("old", file);
    std::fclose(file);
  }
  services.CreateKeptOpenFile(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 0u) << "an existing file is emptied";
  try {
    services.CreateKeptOpenFile("Q:\\no such drive\\dyn.txt");
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(
        std::string(error.what()).rfind("Cannot create file \"Q:\\no such drive\\dyn.txt\". ", 0),
        0u)
        << error.what();
  }
}

TEST(Win32Settings, ProfileFunctionsWriteWholeFilesTheStoreReadsBack) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  SetCurrentDirectoryA(folder);
  DeleteFileA("quorvane-test.INI");
  Win32ProfileFiles files(PlatformFileSystem());
  {
    auto file = files.Open("./quorvane-test.INI");
    file->WriteString("TForm1", "FormVersion", "0");
    file->WriteString("TForm1", "Quoted", "\"'x'\"");
    file->WriteString("TForm1", "FormVersion", "1");
    EXPECT_EQ(GetFileAttributesA(".\\quorvane-test.INI"), INVALID_FILE_ATTRIBUTES)
        << "nothing reaches the file before the pass ends";
    file->Release();
  }
  auto file = files.Open("./quorvane-test.INI");
  EXPECT_EQ(file->ReadString("TForm1", "FormVersion", "d"), "1");
  EXPECT_EQ(file->ReadString("tform1", "quoted", "d"), "'x'") << "one pair stripped";
  EXPECT_EQ(ParseStoredInteger(file->ReadString("TForm1", "FormVersion", ""), 0), 1);
  EXPECT_EQ(file->ReadString("TForm1", "Missing", "default"), "default");
  DeleteFileA("quorvane-test.INI");

  auto unwritable = files.Open("./no such folder/quorvane.INI");
  try {
    unwritable->WriteString("TForm1", "FormVersion", "0");
    unwritable->Release();
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Unable to write to ./no such folder/quorvane.INI");
  }
}

// Makes a folder the working folder for as long as the object lives.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::filesystem::path& folder)
      : earlier_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~WorkingFolder() { std::filesystem::current_path(earlier_); }

 private:
  std::filesystem::path earlier_;
};

constexpr char kEarlierSettings[] = "[TForm1]\r\nFormVersion=0\r\n";

TEST(Win32Settings, PassesThroughTheFileSystemAndRemovesCopiesOfKilledRuns) {
  testing::TempFolder folder;
  WorkingFolder working(folder.Path());
  const std::string killed = "quorvane.INI." + std::to_string(testing::EndedProcessId()) + "-0.tmp";
  testing::WriteBytes(folder.Path() / killed, "[TForm1]\r\nFormVersion=");
  testing::WriteBytes(folder.Path() / "quorvane.INI", kEarlierSettings);
  Win32ProfileFiles files(PlatformFileSystem());
  auto file = files.Open("./quorvane.INI");
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"quorvane.INI"}) << "the copy is removed";
  file->WriteString("TForm1", "Visible", "0");
  EXPECT_EQ(file->ReadString("TForm1", "Visible", "d"), "0") << "the pass reads what it wrote";
  file->Release();
  EXPECT_EQ(testing::ReadBytes(folder.Path() / "quorvane.INI"),
            "[TForm1]\r\nFormVersion=0\r\nVisible=0\r\n");
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"quorvane.INI"});
}

// Whichever step of writing the settings file fails, the pass reports it and the earlier file
// stays whole, with nothing left beside it.
class Win32SettingsStepTest : public ::testing::TestWithParam<testing::FailingFileSystem::Step> {};

TEST_P(Win32SettingsStepTest, FailedStepIsReportedAndLeavesTheEarlierFileWhole) {
  testing::TempFolder folder;
  WorkingFolder working(folder.Path());
  testing::WriteBytes(folder.Path() / "quorvane.INI", kEarlierSettings);
  testing::FailingFileSystem failing(GetParam(), "quorvane.INI");
  Win32ProfileFiles files(failing);
  {
    auto file = files.Open("./quorvane.INI");
    try {
      file->WriteString("TForm1", "FormVersion", "1");
      file->WriteString("TForm1", "Visible", "0");
      file->Release();
      FAIL() << "no error";
    } catch (const std::runtime_error& error) {
      EXPECT_STREQ(error.what(), "Unable to write to ./quorvane.INI");
    }
  }
  EXPECT_EQ(testing::ReadBytes(folder.Path() / "quorvane.INI"), kEarlierSettings);
  EXPECT_EQ(folder.Entries(), std::set<std::string>{"quorvane.INI"});
}

INSTANTIATE_TEST_SUITE_P(Steps, Win32SettingsStepTest,
                         ::testing::ValuesIn(testing::FailingFileSystem::kFailingSteps),
                         testing::StepCaseName);

}  // namespace
}  // namespace quorvane
