#include "kml/aircraft_view.h"

#include "kml/kml_number_text.h"

namespace quorvane {

AircraftView ViewOnto(const AircraftFix& fix, Relief relief) {
  if (relief == Relief::kFlat) {
    return {"10", "100000", "0", "relativeToGround"};
  }
  // Straight down, a curtain is a line: the view comes in from behind, 60 degrees from the
  // vertical, close enough to see the aircraft's height over the ground below it.
  return {AltitudeText(fix.AltitudeMetres), "20000", "60", "absolute"};
}

}  // namespace quorvane
