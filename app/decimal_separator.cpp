#include <clocale>

#include "app/platform_services.h"

namespace quorvane {

char CLocaleDecimalSeparator::Current() {
  const char* name = std::setlocale(LC_NUMERIC, nullptr);
  saved_locale_ = name != nullptr ? name : "C";
  const char* point = std::localeconv()->decimal_point;
  return point != nullptr && point[0] != '\0' ? point[0] : '.';
}

void CLocaleDecimalSeparator::SetDot() {
  std::setlocale(LC_NUMERIC, "C");
}

void CLocaleDecimalSeparator::Restore() {
  std::setlocale(LC_NUMERIC, saved_locale_.c_str());
}

}  // namespace quorvane
