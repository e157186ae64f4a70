#include "simulator/sim_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane::sim {
namespace {

ParsedCommandLine Parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "quorvane-sim");
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) {
    argv.push_back(argument.c_str());
  }
  return ParseSimCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(ParsePoke, AcceptsValuesThatFitTheirSize) {
  struct Case {
    const char* text;
    Poke poke;
  };
  for (const Case& c : {Case{"0x3304:4:0", {0x3304, 4, 0}}, Case{"100:2:65535", {100, 2, 65535}},
                        Case{"0xFFF8:8:-1", {0xFFF8, 8, ~0ULL}}, Case{"0:1:-128", {0, 1, 0x80}},
                        Case{"0x10:4:0XDEADBEEF", {0x10, 4, 0xDEADBEEF}}}) {
    const auto poke = ParsePoke(c.text);
    ASSERT_TRUE(poke) << c.text;
    EXPECT_EQ(poke->offset, c.poke.offset) << c.text;
    EXPECT_EQ(poke->size, c.poke.size) << c.text;
    EXPECT_EQ(poke->value, c.poke.value) << c.text;
  }
}

TEST(ParsePoke, RefusesWhatDoesNotFit) {
  for (const char* text :
       {"0:0:1", "0:9:1", "65535:2:0", "65536:1:0", "0:1:256", "0:1:-129", "a:1:1", "0:1",
        "0:1:1:1", "0x:1:1", ":1:1", "0:1:", "-1:1:1", "0:2:0x10000", "4294967296:1:0"}) {
    EXPECT_FALSE(ParsePoke(text)) << text;
  }
}

TEST(ParseHexWord, TakesHexWithOrWithoutPrefix) {
  EXPECT_EQ(ParseHexWord("36220002"), 0x36220002u);
  EXPECT_EQ(ParseHexWord("0xFADE0008"), 0xFADE0008u);
  EXPECT_EQ(ParseHexWord("0"), 0u);
  for (const char* text : {"", "0x", "xyz", "123456789", "12 34"}) {
    EXPECT_FALSE(ParseHexWord(text)) << text;
  }
}

TEST(SimCommandLine, DefaultsAndOptions) {
  const auto defaults = Parse({});
  ASSERT_TRUE(defaults.options);
  EXPECT_EQ(defaults.options->class_name, "UIPCMAIN");
  EXPECT_EQ(defaults.options->version, 0x36220002u);
  EXPECT_EQ(defaults.options->sim_word, 0xFADE0008u);
  EXPECT_EQ(defaults.options->reply, 1u);
  EXPECT_FALSE(defaults.options->exit_after);
  EXPECT_FALSE(defaults.options->garble_after);

  const auto parsed = Parse({"--class", "FS98MAIN",       "--version", "19980005",     "--lat",
                             "-33.9",   "--poke",         "0x100:4:7", "--poke",       "0x200:1:1",
                             "--demo",  "--rate",         "60",        "--exit-after", "3",
                             "--hang",  "--garble-after", "7",         "--alt",        "-430.5"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->class_name, "FS98MAIN");
  EXPECT_EQ(parsed.options->version, 0x19980005u);
  EXPECT_DOUBLE_EQ(parsed.options->aircraft.latitude, -33.9);
  EXPECT_DOUBLE_EQ(parsed.options->aircraft.altitude, -430.5);
  EXPECT_EQ(parsed.options->pokes.size(), 2u);
  EXPECT_TRUE(parsed.options->demo);
  EXPECT_DOUBLE_EQ(parsed.options->rate, 60.0);
  EXPECT_EQ(parsed.options->exit_after, 3u);
  EXPECT_TRUE(parsed.options->hang);
  EXPECT_EQ(parsed.options->garble_after, 7u);
}

TEST(SimCommandLine, BadInputIsAClearErrorWithStatus2) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{{"--poke", "1:2"},
                                                                     {"--version", "xyz"},
                                                                     {"--lat", "north"},
                                                                     {"--lat", "nan"},
                                                                     {"--alt", "inf"},
                                                                     {"--alt", "1000ft"},
                                                                     {"--rate", "0"},
                                                                     {"--rate", "nan"},
                                                                     {"--rate", "inf"},
                                                                     {"--reply", "-1"},
                                                                     {"--unknown"},
                                                                     {"stray"}}) {
    const auto parsed = Parse(arguments);
    EXPECT_FALSE(parsed.options) << arguments[0];
    EXPECT_EQ(parsed.exit_status, 2) << arguments[0];
    EXPECT_FALSE(parsed.error.empty()) << arguments[0];
  }
  const auto help = Parse({"--help"});
  EXPECT_FALSE(help.options);
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_NE(help.output.find("--demo"), std::string::npos);
  EXPECT_NE(help.output.find("in METRES, not feet"), std::string::npos) << help.output;
  // A server author learns each offset's unit: the heading's is FSUIPC's, not the client's.
  EXPECT_NE(help.output.find("0x0580  4 bytes  true heading, degrees * 2^32 / 360"),
            std::string::npos)
      << help.output;
}

TEST(SimOptions, AboutNamesTheProgramAndItsVersion) {
  const auto about = Parse({"--about"});
  EXPECT_FALSE(about.options);
  EXPECT_EQ(about.exit_status, 0);
  EXPECT_EQ(about.output, "quorvane-sim " QUORVANE_VERSION "\n");
}

}  // namespace
}  // namespace quorvane::sim
