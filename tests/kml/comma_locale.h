#pragma once

// A process locale whose decimal separator is ",", for as long as the object lives.

#include <clocale>
#include <string>

namespace quorvane::testing {

class CommaLocale {
 public:
  // The locale scripts/ensure-packages.sh generates; Windows knows it by other names.
  static constexpr const char* kNames[] = {"de_DE.UTF-8", "de-DE", "German_Germany.1252"};

  // Sets the first of kNames that the system has, for C and, where the standard library
  // supports named locales, for C++ too. Active() tells whether that worked.
  CommaLocale();
  // Puts back the "C" locale the tests otherwise run under.
  ~CommaLocale();
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  // True when printf now writes 0.5 as "0,5": a comma locale is really in force.
  bool Active() const;
};

}  // namespace quorvane::testing
