// The user's own folder on Windows, %APPDATA%\Quorvane: created when missing and entered. Run
// under Wine in CI.

#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/user_folder.h"

namespace quorvane {
namespace {

std::wstring CurrentFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  return folder;
}

TEST(Win32UserFolder, IsCreatedInTheApplicationDataFolderAndEntered) {
  wchar_t app_data[MAX_PATH] = {};
  ASSERT_TRUE(
      SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, app_data)));
  const std::wstring own = std::wstring(app_data) + L"\\Quorvane";
  const std::wstring start = CurrentFolder();
  // Made anew where it is empty (a user's settings in it are left alone).
  RemoveDirectoryW(own.c_str());

  EXPECT_EQ(EnterUserFolder(), "");
  EXPECT_EQ(CurrentFolder(), own);
  EXPECT_NE(GetFileAttributesW(own.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(EnterUserFolder(), "") << "once it exists, too";

  SetCurrentDirectoryW(start.c_str());
}

}  // namespace
}  // namespace quorvane
