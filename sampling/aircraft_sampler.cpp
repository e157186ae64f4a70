#include "sampling/aircraft_sampler.h"

#include "link/link_result.h"
#include "sampling/conversions.h"
#include "sampling/number_text.h"

namespace quorvane {

std::string SummaryLine(const AircraftFix& fix) {
  return "Lat: " + TrimBlanks(FormatFixed(fix.Latitude, 10, 6)) +
         "   Lon: " + TrimBlanks(FormatFixed(fix.Longitude, 10, 6)) +
         "   H: " + FormatFixed(fix.Heading, 7, 2);
}

bool AircraftSampler::ReadOne(std::uint32_t offset, std::uint32_t size, void* holder,
                              const PanelText& panel) {
  LinkResult result = LinkResult::Okay;
  if (!link_.QueueRead(offset, size, holder, result)) {
    panel(std::string("Reading: ") + LinkResultMessage(result));
    return false;
  }
  if (!link_.Process(result)) {
    panel(std::string("Processing: ") + LinkResultMessage(result));
    return false;
  }
  return true;
}

std::optional<AircraftFix> AircraftSampler::SampleAircraft(const PanelText& panel) {
  bool success = true;
  AircraftFix fix;
  double variation = 0.0;

  // Each read is its own exchange, and each derived value is computed right after its read.
  success &= ReadOne(0x0020, sizeof unused_, unused_, panel);
  if (ReadOne(0x02A0, sizeof raw_variation_, &raw_variation_, panel)) {
    variation = MagneticVariationDegrees(raw_variation_);
  } else {
    success = false;
  }
  if (ReadOne(0x0560, sizeof raw_latitude_, &raw_latitude_, panel)) {
    fix.Latitude = LatitudeDegrees(static_cast<double>(raw_latitude_));
  } else {
    success = false;
  }
  if (ReadOne(0x0568, sizeof raw_longitude_, &raw_longitude_, panel)) {
    fix.Longitude = LongitudeDegrees(static_cast<double>(raw_longitude_));
  } else {
    success = false;
  }
  if (ReadOne(0x0580, sizeof raw_heading_, &raw_heading_, panel)) {
    fix.Heading = HeadingDegrees(raw_heading_, variation);
  } else {
    success = false;
  }
  if (ReadOne(0x02B4, sizeof raw_ground_speed_, &raw_ground_speed_, panel)) {
    fix.Moving = IsMoving(raw_ground_speed_);
  } else {
    success = false;
  }

  if (!success) {
    return std::nullopt;
  }
  panel(SummaryLine(fix));
  return fix;
}

}  // namespace quorvane
