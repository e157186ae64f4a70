#include "kml/track_recorder.h"

#include <utility>

#include "kml/atomic_file.h"
#include "kml/document_path.h"
#include "kml/kml_number_text.h"
#include "kml/utc_time_text.h"
#include "sampling/conversions.h"

namespace quorvane {

namespace {

constexpr std::string_view kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<gpx version=\"1.1\" creator=\"Quorvane\" xmlns=\"http://www.topografix.com/GPX/1/1\">\r\n"
    "  <trk>\r\n"
    "    <name>trasa</name>\r\n";
constexpr std::string_view kSegmentStart = "    <trkseg>\r\n";
constexpr std::string_view kSegmentEnd = "    </trkseg>\r\n";
constexpr std::string_view kTail =
    "  </trk>\r\n"
    "</gpx>\r\n";

// GPX longitudes lie in [-180, 180): the meridian that rounds to 180 is written as -180.
std::string GpxLongitudeText(double degrees) {
  std::string text = CoordinateText(degrees);
  if (text == "180.000000") {
    text.insert(0, 1, '-');
  }
  return text;
}

}  // namespace

TrackRecorder::TrackRecorder(FileSystem& files, std::string documents_folder)
    : files_(files), documents_folder_(std::move(documents_folder)) {}

void TrackRecorder::RecordFix(const AircraftFix& fix, Time time) {
  if (!fix.Moving) {
    return;
  }
  if (!AddPoint(fix, time)) {
    return;
  }
  // The track is saved as it grows so that a crash keeps it; a failure must not disturb the
  // update, and the track is saved again, with any error shown, at close.
  try {
    Save();
  } catch (const FileSaveError&) {
  }
}

bool TrackRecorder::AddPoint(const AircraftFix& fix, Time time) {
  if (!IsOnTheGlobe(fix.Latitude, fix.Longitude)) {
    BreakSegment();
    return false;
  }
  if (!segment_open_) {
    segments_text_.append(kSegmentStart);
    segment_open_ = true;
    ++segment_count_;
  }
  segments_text_.append("      <trkpt lat=\"")
      .append(CoordinateText(fix.Latitude))
      .append("\" lon=\"")
      .append(GpxLongitudeText(fix.Longitude))
      .append("\">\r\n        <time>")
      .append(UtcTimeText(time))
      .append("</time>\r\n      </trkpt>\r\n");
  ++point_count_;
  return true;
}

void TrackRecorder::BreakSegment() {
  if (segment_open_) {
    segments_text_.append(kSegmentEnd);
    segment_open_ = false;
  }
}

void TrackRecorder::Save() {
  PublishFile(files_, Path(), DocumentText());
}

std::string TrackRecorder::DocumentText() const {
  std::string text;
  text.reserve(kHead.size() + segments_text_.size() + kSegmentEnd.size() + kTail.size());
  text.append(kHead).append(segments_text_);
  if (segment_open_) {
    text.append(kSegmentEnd);
  }
  text.append(kTail);
  return text;
}

std::string TrackRecorder::Path() const {
  return DocumentPath(documents_folder_, kTrackFileName);
}

}  // namespace quorvane
