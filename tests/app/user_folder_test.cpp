// The user's own folder on Linux: found from the XDG variables, created when missing, entered.

#include "app/user_folder.h"

#include "app/main_program.h"

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/sim_process.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// Each case runs in a temporary folder and leaves the working folder and the variables as they
// were.
class UserFolderTest : public ::testing::Test {
 protected:
  void TearDown() override {
    fs::current_path(start_);
    RestoreVariable("XDG_CONFIG_HOME", config_);
    RestoreVariable("HOME", home_);
  }
  static std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  }
  static void RestoreVariable(const char* name, const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }

  testing::PrivateRuntimeDir temporary;
  const fs::path root = temporary.path();
  const fs::path start_ = fs::current_path();
  const std::optional<std::string> config_ = Variable("XDG_CONFIG_HOME");
  const std::optional<std::string> home_ = Variable("HOME");
};

TEST_F(UserFolderTest, IsCreatedWithItsMissingParentsAndEntered) {
  struct Case {
    const char* config;  // XDG_CONFIG_HOME below the temporary folder, or null to unset it
    const char* home;    // HOME below the temporary folder
    const char* folder;  // the folder expected, below the temporary folder
  };
  for (const Case& c : {
           Case{"cfg", "home", "cfg/quorvane"},
           Case{"deep/er/cfg", "home", "deep/er/cfg/quorvane"},
           Case{nullptr, "home", "home/.config/quorvane"},
           Case{nullptr, "new/home", "new/home/.config/quorvane"},
       }) {
    fs::current_path(start_);
    fs::remove_all(root / "cfg");
    fs::remove_all(root / "home");
    fs::remove_all(root / "deep");
    fs::remove_all(root / "new");
    fs::create_directories(root / "home");
    RestoreVariable("XDG_CONFIG_HOME",
                    c.config ? std::optional((root / c.config).string()) : std::nullopt);
    ::setenv("HOME", (root / c.home).c_str(), 1);

    EXPECT_EQ(EnterUserFolder(), "") << c.folder;
    EXPECT_EQ(fs::current_path(), root / c.folder);
    struct stat created {};
    ASSERT_EQ(::stat((root / c.folder).c_str(), &created), 0);
    EXPECT_EQ(created.st_mode & 0777, 0700u) << "private to the user: " << c.folder;
    // Entering it again, once it exists, is fine too.
    EXPECT_EQ(EnterUserFolder(), "");
  }
}

TEST_F(UserFolderTest, AFolderThatCannotBeHadIsReportedAndTheWorkingFolderKept) {
  std::ofstream(root / "a file") << "not a folder";
  fs::create_directories(root / "cfg");
  std::ofstream(root / "cfg" / "quorvane") << "a file where the folder should be";
  struct Case {
    std::optional<std::string> config;
    std::optional<std::string> home;
    const char* reason;
  };
  for (const Case& c : {
           Case{(root / "a file" / "cfg").string(), std::nullopt, "cannot create"},
           Case{(root / "cfg").string(), std::nullopt, "cannot enter"},
           Case{std::nullopt, std::nullopt, "neither XDG_CONFIG_HOME nor HOME"},
           Case{"relative", "", "neither XDG_CONFIG_HOME nor HOME"},
       }) {
    RestoreVariable("XDG_CONFIG_HOME", c.config);
    RestoreVariable("HOME", c.home);
    EXPECT_THAT(EnterUserFolder(), HasSubstr(c.reason));
    EXPECT_EQ(fs::current_path(), start_);
  }
}

// At start-up --user-folder is taken only when the program goes on to run: --help ends it
// first; a folder that cannot be had is reported, and the program runs where it was started.
TEST_F(UserFolderTest, StartUpEntersTheFolderOnlyWhenTheProgramRuns) {
  std::vector<std::string> warnings;
  const auto warn = [&warnings](const std::string& why) { warnings.push_back(why); };
  ::setenv("XDG_CONFIG_HOME", (root / "cfg").c_str(), 1);
  const CommandLine help = TakeCommandLine({"--user-folder", "--help"}, warn);
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_FALSE(fs::exists(root / "cfg"));
  EXPECT_EQ(fs::current_path(), start_);

  const CommandLine run = TakeCommandLine({"--user-folder", "D"}, warn);
  EXPECT_FALSE(run.exit_status);
  EXPECT_EQ(run.remaining, std::vector<std::string>{"D"});
  EXPECT_EQ(fs::current_path(), root / "cfg" / "quorvane");
  EXPECT_TRUE(warnings.empty());

  std::ofstream(root / "a file") << "not a folder";
  ::setenv("XDG_CONFIG_HOME", (root / "a file").c_str(), 1);
  TakeCommandLine({"--user-folder"}, warn);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_THAT(warnings[0], HasSubstr("cannot create"));
  EXPECT_EQ(fs::current_path(), root / "cfg" / "quorvane");
}

}  // namespace
}  // namespace quorvane
