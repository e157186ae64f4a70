#include "app/version_text.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(VersionText, DigitsFromTheHighNibblesAndALetterFromTheLowByte) {
  EXPECT_EQ(VersionText(0x36220002), "FSUIPC Version: 3.622b");
  EXPECT_EQ(VersionText(0x19980005), "FSUIPC Version: 1.998e");
  EXPECT_EQ(VersionText(0x4000001A), "FSUIPC Version: 4.000z");
  EXPECT_EQ(VersionText(0x12340000), "FSUIPC Version: 1.234");
  EXPECT_EQ(VersionText(0x12340100), std::string("FSUIPC Version: 1.234") + char(96))
      << "bits 8-15 only decide whether a letter follows";
  EXPECT_EQ(VersionText(0xA0000000), "FSUIPC Version: :.000") << "not BCD: the character 48+n";
  EXPECT_EQ(VersionText(0x000000A0), std::string("FSUIPC Version: 0.000") + char(0));
}

}  // namespace
}  // namespace quorvane
