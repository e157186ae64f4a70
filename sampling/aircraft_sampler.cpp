#include "sampling/aircraft_sampler.h"

#include "link/fsuipc_offsets.h"
#include "link/link_result.h"
#include "sampling/conversions.h"
#include "text/number_text.h"

namespace quorvane {

std::string SummaryLine(const AircraftFix& fix) {
  return "Lat: " + TrimBlanks(FormatFixed(fix.Latitude, 10, 6)) +
         "   Lon: " + TrimBlanks(FormatFixed(fix.Longitude, 10, 6)) +
         "   H: " + FormatFixed(fix.Heading, 7, 2);
}

bool AircraftSampler::ReadOne(const fsuipc::Field& field, void* holder, const PanelText& panel) {
  LinkResult result = LinkResult::Okay;
  if (!link_.QueueRead(field.offset, field.size, holder, result)) {
    panel(std::string("Reading: ") + LinkResultMessage(result));
    return false;
  }
  if (!link_.Process(result)) {
    panel(std::string("Processing: ") + LinkResultMessage(result));
    return false;
  }
  return true;
}

bool AircraftSampler::ReadNext(const fsuipc::Field& field, void* holder, const PanelText& panel,
                               const std::function<bool()>& go_on) {
  return (!go_on || go_on()) && ReadOne(field, holder, panel);
}

std::optional<AircraftFix> AircraftSampler::SampleAircraft(const PanelText& panel,
                                                           const std::function<bool()>& go_on) {
  // Each read is its own exchange, and each derived value is computed right after its read. The
  // sample stops at its first failure: it yields no fix anyway, and against a server that does
  // not answer every further read would only wait out its own ten time-outs.
  if (!ReadOne(fsuipc::kGroundAltitude, unused_, panel) ||
      !ReadNext(fsuipc::kMagneticVariation, &raw_variation_, panel, go_on)) {
    return std::nullopt;
  }
  const double variation = MagneticVariationDegrees(raw_variation_);
  AircraftFix fix;
  if (!ReadNext(fsuipc::kLatitude, &raw_latitude_, panel, go_on)) {
    return std::nullopt;
  }
  fix.Latitude = LatitudeDegrees(static_cast<double>(raw_latitude_));
  if (!ReadNext(fsuipc::kLongitude, &raw_longitude_, panel, go_on)) {
    return std::nullopt;
  }
  fix.Longitude = LongitudeDegrees(static_cast<double>(raw_longitude_));
  if (!ReadNext(fsuipc::kTrueHeading, &raw_heading_, panel, go_on)) {
    return std::nullopt;
  }
  fix.Heading = HeadingDegrees(raw_heading_, variation);
  if (!ReadNext(fsuipc::kGroundSpeed, &raw_ground_speed_, panel, go_on)) {
    return std::nullopt;
  }
  fix.Moving = IsMoving(raw_ground_speed_);
  fix.GroundSpeedKnots = GroundSpeedKnots(raw_ground_speed_);
  // The altitude comes last, so the first six exchanges stay those that every server knows.
  if (!ReadNext(fsuipc::kAltitude, &raw_altitude_, panel, go_on)) {
    return std::nullopt;
  }
  fix.AltitudeMetres = AltitudeMetres(raw_altitude_);

  // A position that is no place on the Earth would be written into the documents, and for good
  // into the route: it is a failed sample like any other.
  if (!IsOnTheGlobe(fix.Latitude, fix.Longitude)) {
    panel(std::string(kOffTheGlobe) + " (Lat: " + TrimBlanks(FormatFixed(fix.Latitude, 10, 6)) +
          "   Lon: " + TrimBlanks(FormatFixed(fix.Longitude, 10, 6)) + ")");
    return std::nullopt;
  }
  // An altitude no aircraft can be at would stand in the files for good, as a wall to space.
  if (!IsPossibleAltitude(fix.AltitudeMetres)) {
    panel(std::string(kImpossibleAltitude) +
          " (Alt: " + TrimBlanks(FormatFixed(fix.AltitudeMetres, 0, 1)) + " m)");
    return std::nullopt;
  }
  panel(SummaryLine(fix));
  return fix;
}

}  // namespace quorvane
