#include "tests/kml/comma_locale.h"

#include <cstdio>
#include <locale>
#include <stdexcept>

namespace quorvane::testing {

CommaLocale::CommaLocale() {
  for (const char* name : kNames) {
    if (std::setlocale(LC_ALL, name) == nullptr) {
      continue;
    }
    try {
      std::locale::global(std::locale(name));  // sets the C locale again, to the same
    } catch (const std::runtime_error&) {
      // A standard library without named locales: the C locale alone is set.
    }
    return;
  }
}

CommaLocale::~CommaLocale() {
  std::locale::global(std::locale::classic());
  std::setlocale(LC_ALL, "C");
}

bool CommaLocale::Active() const {
  char text[16] = {};
  std::snprintf(text, sizeof text, "%.1f", 0.5);
  return std::string(text) == "0,5";
}

}  // namespace quorvane::testing
