#pragma once

#include <functional>
#include <string>

namespace quorvane {

// The behaviour of the interval spin box, whatever toolkit draws it: it holds an integer shown
// as text; the arrows step by 1 within 10 to 600; typing takes only "0"-"9", "+", "-" and
// reports a change at every edit, its value being the typed text read as an integer (10 when it
// cannot be read); losing the focus brings the value into 10 to 600.
class IntervalBox {
 public:
  static constexpr int kMinimum = 10;
  static constexpr int kMaximum = 600;

  // on_change runs whenever the box reports a change.
  explicit IntervalBox(std::function<void()> on_change, int value = 60);

  int Value() const { return value_; }
  const std::string& Text() const { return text_; }

  // A value set by the program: kept within 10 to 600 and rounded to a whole number; reports a
  // change when the shown text changes. Not a number leaves the box as it is.
  void SetValue(double value);
  // The user stepped with an arrow (+1 or -1); reports a change only when the number changes.
  void Step(int delta);
  // True for the characters typing may put into the box.
  static bool AcceptsCharacter(char c);
  // The user's edit left this text in the box (characters it does not accept are dropped).
  void Typed(const std::string& text);
  // The box lost the focus: a value outside 10 to 600 becomes 10 or 600.
  void FocusLost();

 private:
  void Show(int value);

  std::function<void()> on_change_;
  int value_;
  std::string text_;
};

}  // namespace quorvane
