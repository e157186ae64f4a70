#pragma once

// "trasa.gpx": the route flown as a GPX 1.1 track with the altitude (metres above mean sea
// level) and a UTC time on every point, beside "trasa.kml", for Google Earth's time slider and
// other flight and mapping tools.

#include <string>
#include <string_view>
#include <utility>

#include "files/file_system.h"
#include "route/route.h"
#include "route/route_text.h"

namespace quorvane {

// The file name.
inline constexpr std::string_view kTrackFileName = "trasa.gpx";

// Writes a route as one GPX track: a track segment for each of the route's segments, a track
// point with its elevation and time for each of its points.
class GpxTrack {
 public:
  // files and route must outlive this object. documents_folder is joined to the file name as
  // the KML documents' folder is.
  GpxTrack(FileSystem& files, const Route& route, std::string documents_folder);

  // Saves the track, replacing the earlier file whole (PublishFile). Throws FileSaveError when it
  // cannot be saved; the earlier file is then untouched.
  void Save();

  // The whole GPX document: 8-bit, CR LF after every line, no byte-order mark. The points' text
  // is kept as the route grows, so building the document costs the new points and a copy.
  std::string DocumentText();

  // The full path of "trasa.gpx": the folder, the separator and the name.
  std::string Path() const;

  // The folder the track is saved in, and a way to change it.
  const std::string& DocumentsFolder() const { return documents_folder_; }
  void SetDocumentsFolder(std::string folder) { documents_folder_ = std::move(folder); }

 private:
  FileSystem& files_;
  const Route& route_;
  std::string documents_folder_;
  // The text of every segment so far; the last one's end tag is added by DocumentText.
  RouteText segments_text_;
};

}  // namespace quorvane
