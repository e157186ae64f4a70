#include "app/interval_box.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quorvane {
namespace {

class IntervalBoxTest : public ::testing::Test {
 protected:
  int changes = 0;
  IntervalBox box{[this] { ++changes; }};
};

TEST_F(IntervalBoxTest, ProgramValuesAreClampedAndRounded) {
  struct Case {
    double set;
    int value;
  };
  for (const Case& c : {Case{5, 10}, Case{60.6, 61}, Case{1000, 600}, Case{-3, 10},
                        Case{599.4, 599}, Case{1e300, 600}}) {
    box.SetValue(c.set);
    EXPECT_EQ(box.Value(), c.value) << c.set;
    EXPECT_EQ(box.Text(), std::to_string(c.value)) << c.set;
  }
  changes = 0;
  box.SetValue(600.3);
  EXPECT_EQ(changes, 0) << "the same shown number reports nothing";
  box.SetValue(std::nan(""));
  EXPECT_EQ(box.Value(), 600);
}

TEST_F(IntervalBoxTest, ArrowsStayInRangeAndReportOnlyRealChanges) {
  box.SetValue(600);
  changes = 0;
  box.Step(+1);
  EXPECT_EQ(changes, 0);
  box.Step(-1);
  EXPECT_EQ(box.Value(), 599);
  EXPECT_EQ(changes, 1);
  box.SetValue(10);
  changes = 0;
  box.Step(-1);
  EXPECT_EQ(box.Value(), 10);
  EXPECT_EQ(changes, 0);
}

TEST_F(IntervalBoxTest, TypingReportsEveryEditAndReadsTheText) {
  struct Case {
    const char* typed;
    const char* text;
    int value;
  };
  for (const Case& c :
       {Case{"120", "120", 120}, Case{"", "", 10}, Case{"-", "-", 10}, Case{"+12", "+12", 12},
        Case{"-5", "-5", -5}, Case{"1a2", "12", 12}, Case{"99999999999", "99999999999", 10}}) {
    changes = 0;
    box.Typed(c.typed);
    EXPECT_EQ(changes, 1) << c.typed;
    EXPECT_EQ(box.Text(), c.text) << c.typed;
    EXPECT_EQ(box.Value(), c.value) << c.typed;
  }
  EXPECT_TRUE(IntervalBox::AcceptsCharacter('7'));
  EXPECT_TRUE(IntervalBox::AcceptsCharacter('-'));
  EXPECT_FALSE(IntervalBox::AcceptsCharacter('.'));
  EXPECT_FALSE(IntervalBox::AcceptsCharacter(' '));
}

TEST_F(IntervalBoxTest, LosingFocusClampsAndShowsTheNumber) {
  box.Typed("-5");
  changes = 0;
  box.FocusLost();
  EXPECT_EQ(box.Value(), 10);
  EXPECT_EQ(box.Text(), "10");
  EXPECT_EQ(changes, 1);
  box.Typed("+45");
  box.FocusLost();
  EXPECT_EQ(box.Text(), "45") << "the shown text becomes the plain number";
  changes = 0;
  box.FocusLost();
  EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace quorvane
