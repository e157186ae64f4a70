#include "kml/kml_number_text.h"

#include "text/number_text.h"

namespace quorvane {

std::string CoordinateText(double degrees) {
  return TrimBlanks(FormatFixed(degrees, 10, 6));
}

std::string HeadingText(double degrees) {
  return TrimBlanks(FormatFixed(degrees, 7, 0));
}

}  // namespace quorvane
