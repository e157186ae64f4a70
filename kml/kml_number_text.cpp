#include "kml/kml_number_text.h"

#include "text/number_text.h"

namespace quorvane {

std::string CoordinateText(double degrees) {
  return TrimBlanks(FormatFixed(degrees, 10, 6));
}

std::string HeadingText(double degrees) {
  return TrimBlanks(FormatFixed(degrees, 7, 0));
}

std::string AltitudeText(double metres) {
  std::string text = TrimBlanks(FormatFixed(metres, 0, 1));
  if (text == "-0.0") {
    text.erase(0, 1);  // the sign of a rounded-away fraction says nothing
  }
  return text;
}

}  // namespace quorvane
