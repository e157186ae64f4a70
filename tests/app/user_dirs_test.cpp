#include "app/posix/user_dirs.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quorvane {
namespace {

TEST(UserDirs, DocumentsFolderIsTakenFromItsLine) {
  struct Case {
    const char* text;
    const char* folder;
  };
  for (const Case& c : {
           Case{"XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n", "/home/pilot/Documents"},
           Case{"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"/data/Docs\"",
                "/data/Docs"},
           Case{"XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\"\r\n", "/home/pilot/Dokumenty"},
           Case{"XDG_DOCUMENTS_DIR=\"$HOME\"", "/home/pilot"},
           Case{"XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"", "$HOMEWORK/x"},
           Case{"XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"", "/home/pilot/My \"Docs\""},
           Case{"  XDG_DOCUMENTS_DIR = \"/a\" ", "/a"},
           Case{"XDG_DOCUMENTS_DIR=\"/first\"\nXDG_DOCUMENTS_DIR=\"/second\"", "/second"},
           Case{"XDG_DOCUMENTS_DIR=/unquoted/", "/unquoted/"},
           Case{"XDG_DOCUMENTS_DIR=\"/trailing/\"", "/trailing/"},
       }) {
    EXPECT_EQ(DocumentsFolderFromUserDirs(c.text, "/home/pilot"), c.folder) << c.text;
  }
}

TEST(UserDirs, MissingOrBrokenLinesGiveNoFolder) {
  for (const char* text :
       {"", "\n\n", "XDG_DESKTOP_DIR=\"$HOME/Desktop\"", "# XDG_DOCUMENTS_DIR=\"/commented\"",
        "XDG_DOCUMENTS_DIRX=\"/x\"", "XDG_DOCUMENTS_DIR", "XDG_DOCUMENTS_DIR:\"/x\""}) {
    EXPECT_EQ(DocumentsFolderFromUserDirs(text, "/home/pilot"), "") << text;
  }
  const std::string binary("XDG_DOCUMENTS_DIR=\"/a\0b\"\xff\xfe", 26);
  EXPECT_EQ(DocumentsFolderFromUserDirs(binary, "/h"), "") << "a damaged line names no folder";
}

TEST(UserDirs, FileIsFoundInTheConfigFolder) {
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(UserDirsFilePath(), "/cfg/user-dirs.dirs");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);
  ::setenv("HOME", "/home/pilot", 1);
  EXPECT_EQ(UserDirsFilePath(), "/home/pilot/.config/user-dirs.dirs");
  ::unsetenv("XDG_CONFIG_HOME");
  ::unsetenv("HOME");
  EXPECT_EQ(UserDirsFilePath(), "");
}

}  // namespace
}  // namespace quorvane
