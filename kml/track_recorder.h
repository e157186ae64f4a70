#pragma once

// "trasa.gpx": the route flown as a GPX 1.1 track with a UTC time on every point, beside
// "trasa.kml", for Google Earth's time slider and other flight and mapping tools.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "kml/file_system.h"
#include "sampling/aircraft_fix.h"

namespace quorvane {

// The file name.
inline constexpr std::string_view kTrackFileName = "trasa.gpx";

// Collects the points of the route with their times, split into track segments wherever the
// route resumed after a gap, and saves them as one GPX track.
class TrackRecorder {
 public:
  // A point in time; the system clock counts UTC.
  using Time = std::chrono::system_clock::time_point;

  // files must outlive this object. documents_folder is joined to the file name as the KML
  // documents' folder is.
  TrackRecorder(FileSystem& files, std::string documents_folder);

  // For each fix of the update cycle: a moving fix (one that extends the route) is added as a
  // point at time, and the track is then saved; a failed save is ignored here (it is reported by
  // Save at close). A stationary fix changes nothing. Never throws FileSaveError.
  void RecordFix(const AircraftFix& fix, Time time);

  // Adds the fix's position as the next point, at time (UTC), whether or not it is moving; saves
  // nothing. Returns false, adding nothing, for a position that is not one on the Earth (latitude
  // beyond +-90, longitude beyond +-180, not a number); no line joins the points on either side
  // of it, as after BreakSegment.
  bool AddPoint(const AircraftFix& fix, Time time);

  // The route was interrupted (a failed sample, a reconnection): the next point begins a new
  // track segment. Several breaks in a row, or a break before the first point, make no empty
  // segment.
  void BreakSegment();

  // Saves the track, replacing the earlier file whole (PublishFile). Throws FileSaveError when it
  // cannot be saved; the earlier file is then untouched.
  void Save();

  // The whole GPX document: 8-bit, CR LF after every line, no byte-order mark. Its size grows by
  // one point's text per point; building it costs time in proportion to its size.
  std::string DocumentText() const;

  // Points and segments recorded so far.
  std::size_t PointCount() const { return point_count_; }
  std::size_t SegmentCount() const { return segment_count_; }

  // The full path of "trasa.gpx": the folder, the separator and the name.
  std::string Path() const;

  // The folder the track is saved in, and a way to change it.
  const std::string& DocumentsFolder() const { return documents_folder_; }
  void SetDocumentsFolder(std::string folder) { documents_folder_ = std::move(folder); }

 private:
  FileSystem& files_;
  std::string documents_folder_;
  // The text of every segment so far; the last one's end tag is added by DocumentText.
  std::string segments_text_;
  std::size_t point_count_ = 0;
  std::size_t segment_count_ = 0;
  bool segment_open_ = false;
};

}  // namespace quorvane
