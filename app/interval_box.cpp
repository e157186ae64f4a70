#include "app/interval_box.h"

#include <algorithm>
#include <cmath>

#include "text/number_text.h"

namespace quorvane {

namespace {

// The typed text as an integer; 10 for text that is not one ("", "-", too long).
int ReadTyped(const std::string& text) {
  std::string_view digits = text;
  if (!digits.empty() && digits[0] == '+') {
    digits.remove_prefix(1);
  }
  return ParseWhole<int>(digits).value_or(IntervalBox::kMinimum);
}

}  // namespace

IntervalBox::IntervalBox(std::function<void()> on_change, int value)
    : on_change_(std::move(on_change)), value_(value), text_(std::to_string(value)) {}

void IntervalBox::Show(int value) {
  const std::string text = std::to_string(value);
  value_ = value;
  if (text != text_) {
    text_ = text;
    on_change_();
  }
}

void IntervalBox::SetValue(double value) {
  if (std::isnan(value)) {
    return;
  }
  Show(static_cast<int>(std::lround(std::clamp<double>(value, kMinimum, kMaximum))));
}

void IntervalBox::Step(int delta) {
  Show(std::clamp(value_ + delta, kMinimum, kMaximum));
}

bool IntervalBox::AcceptsCharacter(char c) {
  return (c >= '0' && c <= '9') || c == '+' || c == '-';
}

void IntervalBox::Typed(const std::string& text) {
  std::string kept;
  std::copy_if(text.begin(), text.end(), std::back_inserter(kept), AcceptsCharacter);
  text_ = kept;
  value_ = ReadTyped(kept);
  on_change_();
}

void IntervalBox::FocusLost() {
  const int clamped = std::clamp(value_, kMinimum, kMaximum);
  if (clamped != value_ || text_ != std::to_string(value_)) {
    value_ = clamped;
    text_ = std::to_string(clamped);
    on_change_();
  }
}

}  // namespace quorvane
