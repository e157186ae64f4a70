// The program's command line: its own options taken out, everything else passed on untouched.

#include "app/command_line.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorvane {
namespace {

using ::testing::HasSubstr;
using Arguments = std::vector<std::string>;

CommandLine Parse(const Arguments& arguments) {
  return ParseCommandLine(arguments, "~/own");
}

TEST(CommandLine, ArgumentsThatAreNotOursReachTheWindowUnchanged) {
  for (const Arguments& arguments : std::vector<Arguments>{
           {},
           {"D"},
           {"d"},
           {"D", "D"},
           {"--", "D"},
           {"-platform", "offscreen", "D"},
           {"-style=fusion"},
           {"--no-such-option", "D"},
           {"-x"},
           {"C:\\Program Files\\Quorvane", "D"},
           {""},
       }) {
    const CommandLine command = Parse(arguments);
    EXPECT_FALSE(command.exit_status) << command.text;
    EXPECT_FALSE(command.user_folder);
    EXPECT_EQ(command.remaining, arguments);
  }
}

TEST(CommandLine, UserFolderIsTakenOutWhereverItStands) {
  struct Case {
    Arguments arguments;
    Arguments remaining;
  };
  for (const Case& c : {
           Case{{"--user-folder"}, {}},
           Case{{"--user-folder", "D"}, {"D"}},
           Case{{"D", "--user-folder"}, {"D"}},
           Case{{"-platform", "xcb", "--user-folder", "D"}, {"-platform", "xcb", "D"}},
           Case{{"--user-folder", "--user-folder"}, {}},
       }) {
    const CommandLine command = Parse(c.arguments);
    EXPECT_FALSE(command.exit_status) << command.text;
    EXPECT_TRUE(command.user_folder) << c.arguments.size();
    EXPECT_EQ(command.remaining, c.remaining);
  }
  // After "--" nothing is an option any more.
  const CommandLine after_end = Parse({"--", "--user-folder"});
  EXPECT_FALSE(after_end.user_folder);
  EXPECT_EQ(after_end.remaining, (Arguments{"--", "--user-folder"}));
}

TEST(CommandLine, HelpDescribesTheOptionsAndTheUserFolder) {
  for (const Arguments& arguments :
       std::vector<Arguments>{{"--help"}, {"-h"}, {"D", "--help"}, {"--user-folder", "-h"}}) {
    const CommandLine command = Parse(arguments);
    ASSERT_TRUE(command.exit_status);
    EXPECT_EQ(*command.exit_status, 0);
    EXPECT_THAT(command.text, HasSubstr("Usage: quorvane"));
    EXPECT_THAT(command.text, HasSubstr("--user-folder"));
    EXPECT_THAT(command.text, HasSubstr("~/own"));
    EXPECT_THAT(command.text, HasSubstr("--version"));
    EXPECT_THAT(command.text, HasSubstr("f:\\dyn.txt"));
  }
}

TEST(CommandLine, VersionIsTheProgramsNameAndItsVersion) {
  const CommandLine command = Parse({"--version"});
  ASSERT_TRUE(command.exit_status);
  EXPECT_EQ(*command.exit_status, 0);
  EXPECT_EQ(command.text, "quorvane " QUORVANE_VERSION "\n");
}

TEST(CommandLine, AMalformedOptionOfOursEndsWithAnError) {
  const CommandLine command = Parse({"--user-folder=sometimes"});
  ASSERT_TRUE(command.exit_status);
  EXPECT_EQ(*command.exit_status, 2);
  EXPECT_THAT(command.text, HasSubstr("--user-folder"));
}

}  // namespace
}  // namespace quorvane
