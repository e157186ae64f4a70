#include "kml/gpx_track.h"

#include "files/document_path.h"
#include "files/publish_file.h"
#include "kml/kml_number_text.h"
#include "kml/utc_time_text.h"

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

// One track point, after the end of the segment before and the start of its own when it begins
// one.
void AppendTrackPoint(std::string& text, const Route& route, std::size_t index) {
  if (route.StartsSegment(index)) {
    if (index > 0) {
      text.append(kSegmentEnd);
    }
    text.append(kSegmentStart);
  }
  const RoutePoint& point = route.Points()[index];
  text.append("      <trkpt lat=\"")
      .append(CoordinateText(point.latitude))
      .append("\" lon=\"")
      .append(GpxLongitudeText(point.longitude))
      .append("\">\r\n        <ele>")
      .append(AltitudeText(point.altitude))
      .append("</ele>\r\n        <time>")
      .append(UtcTimeText(point.time))
      .append("</time>\r\n      </trkpt>\r\n");
}

}  // namespace

GpxTrack::GpxTrack(FileSystem& files, const Route& route, std::string documents_folder)
    : files_(files),
      route_(route),
      documents_folder_(std::move(documents_folder)),
      segments_text_(route, AppendTrackPoint) {}

void GpxTrack::Save() {
  PublishFile(files_, Path(), DocumentText());
}

std::string GpxTrack::DocumentText() {
  const std::string& segments = segments_text_.Text();
  const bool segment_open = !route_.Points().empty();
  std::string text;
  text.reserve(kHead.size() + segments.size() + kSegmentEnd.size() + kTail.size());
  text.append(kHead).append(segments);
  if (segment_open) {
    text.append(kSegmentEnd);
  }
  text.append(kTail);
  return text;
}

std::string GpxTrack::Path() const {
  return DocumentPath(documents_folder_, kTrackFileName);
}

}  // namespace quorvane
