#include "app/posix/user_dirs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "app/posix/platform_services_posix.h"

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

namespace fs = std::filesystem;

// A configuration folder and a home folder of the test's own, in the environment while it lives.
class Desktop {
 public:
  Desktop() {
    char folder[] = "/tmp/quorvane-desktop-XXXXXX";
    root_ = ::mkdtemp(folder);
    fs::create_directories(root_ / "config");
    fs::create_directories(root_ / "home");
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    ::setenv("HOME", (root_ / "home").c_str(), 1);
  }
  ~Desktop() {
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("HOME");
    fs::remove_all(root_);
  }
  fs::path UserDirs() const { return root_ / "config" / "user-dirs.dirs"; }
  fs::path Home() const { return root_ / "home"; }
  fs::path Root() const { return root_; }

 private:
  fs::path root_;
};

// With no Documents folder configured, xdg-user-dir answers with the home folder; so do we,
// rather than an empty folder that would put the files at the root of the file system.
TEST(PosixDocumentsFolder, HomeWhenNoneIsConfigured) {
  Desktop desktop;
  PosixPlatformServices services;
  EXPECT_EQ(services.DocumentsFolder(), desktop.Home().string()) << "no user-dirs.dirs";
  std::ofstream(desktop.UserDirs()) << "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n";
  EXPECT_EQ(services.DocumentsFolder(), desktop.Home().string()) << "no Documents line";
  std::ofstream(desktop.UserDirs()) << "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\"\n";
  EXPECT_EQ(services.DocumentsFolder(), (desktop.Home() / "Dokumenty").string());
  fs::remove(desktop.UserDirs());
  ASSERT_EQ(::mkfifo(desktop.UserDirs().c_str(), 0600), 0);
  EXPECT_EQ(services.DocumentsFolder(), desktop.Home().string()) << "a FIFO is not waited on";
  ::setenv("HOME", "", 1);
  EXPECT_FALSE(services.DocumentsFolder().empty()) << "the user database's home folder";
  EXPECT_EQ(HomeFolder().front(), '/');
}

TEST(PosixKeptOpenFile, OnlyAPlainFileIsCreatedOrEmptied) {
  Desktop desktop;
  PosixPlatformServices services;
  const fs::path target = desktop.Root() / "precious";
  std::ofstream(target) << "keep me";
  const fs::path name = desktop.Root() / "f:\\dyn.txt";
  fs::create_symlink(target, name);
  EXPECT_THROW(services.CreateKeptOpenFile(name.string()), std::runtime_error) << "a link";
  EXPECT_EQ(fs::file_size(target), 7u) << "the link's target is not emptied";
  fs::remove(name);
  ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0);
  EXPECT_THROW(services.CreateKeptOpenFile(name.string()), std::runtime_error) << "a FIFO";
  fs::remove(name);
  fs::create_directory(name);
  EXPECT_THROW(services.CreateKeptOpenFile(name.string()), std::runtime_error) << "a folder";
  fs::remove(name);
  std::ofstream(name) << "old";
  services.CreateKeptOpenFile(name.string());
  EXPECT_EQ(fs::file_size(name), 0u) << "a plain file is emptied";
  fs::remove(name);
  services.CreateKeptOpenFile(name.string());
  EXPECT_TRUE(fs::is_regular_file(name)) << "and a missing one made";
}

}  // namespace
}  // namespace quorvane
