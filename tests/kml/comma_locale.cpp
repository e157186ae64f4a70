#include "tests/kml/comma_locale.h"

#include <clocale>
#include <cstdio>
#include <stdexcept>

namespace quorvane::testing {

CommaLocale::CommaLocale() : previous_(std::locale()) {
  try {
    std::locale::global(std::locale(kName));  // sets the C locale too
    set_ = true;
  } catch (const std::runtime_error&) {
    set_ = false;
  }
}

CommaLocale::~CommaLocale() {
  std::locale::global(previous_);
  std::setlocale(LC_ALL, "C");
}

bool CommaLocale::Active() const {
  char text[16] = {};
  std::snprintf(text, sizeof text, "%.1f", 0.5);
  return set_ && std::string(text) == "0,5";
}

}  // namespace quorvane::testing
