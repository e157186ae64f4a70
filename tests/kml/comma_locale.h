#pragma once

// A process locale whose decimal separator is ",", for as long as the object lives.

#include <locale>
#include <string>

namespace quorvane::testing {

class CommaLocale {
 public:
  // The locale scripts/ensure-packages.sh generates.
  static constexpr const char* kName = "de_DE.UTF-8";

  // Sets kName for C and C++ alike; Active() tells whether that worked.
  CommaLocale();
  // Puts back the "C" locale the tests otherwise run under.
  ~CommaLocale();
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  // True when printf now writes 0.5 as "0,5": the locale is really in force.
  bool Active() const;

 private:
  std::locale previous_;
  bool set_ = false;
};

}  // namespace quorvane::testing
