#include "app/settings/stored_property.h"

#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string_view>

#include "text/number_text.h"

namespace quorvane {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string FloatPropertyText(double value) {
  std::array<char, 64> buffer{};
  const double magnitude = std::fabs(value);
  const bool exponent = value != 0.0 && (magnitude < 0.00001 || magnitude >= 1e18);
  // The shortest text that reads back as the same number, which never needs more than 17
  // significant digits for a double.
  auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                    exponent ? std::chars_format::scientific : std::chars_format::fixed);
  if (error != std::errc{}) {
    return "0";
  }
  std::string text(buffer.data(), end);
  // "1e-06" is written "1E-6".
  if (const auto e = text.find('e'); e != std::string::npos) {
    std::string mantissa = text.substr(0, e);
    int power = std::stoi(text.substr(e + 1));
    text = mantissa + "E" + std::to_string(power);
  }
  return text;
}

double ParseFloatPropertyText(const std::string& text) {
  const std::string trimmed = TrimBlanks(text);
  std::string_view digits = trimmed;
  // A "+" may lead a number, not another sign: "+-5" is no number.
  if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-') {
    digits.remove_prefix(1);
  }
  const auto value = ParseWhole<double>(digits);
  if (!value || !std::isfinite(*value)) {
    throw std::invalid_argument("'" + text + "' is not a valid floating point value");
  }
  return *value;
}

std::string BooleanPropertyText(bool value) {
  return value ? "True" : "False";
}

std::optional<bool> ParseBooleanPropertyText(const std::string& text) {
  if (EqualsIgnoringCase(text, "True")) {
    return true;
  }
  if (EqualsIgnoringCase(text, "False")) {
    return false;
  }
  return std::nullopt;
}

}  // namespace quorvane
