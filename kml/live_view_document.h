#pragma once

// "Quorvane live.kml": a small KML document beside "letadlo.kml" that a user opens once in
// Google Earth. Its network links reload the aircraft document and the route document (the live
// view's own copies of them, when the program samples for the live view, or else "letadlo.kml"
// and "trasa.kml") at the rate they are rewritten, and a third one reloads "Quorvane view.kml",
// whose only content is the view onto the aircraft, so the view follows the flight with no file
// opened again and no window brought to the front. (A viewer flies to a refreshed file's view only
// when the file gives it at its top or in a NetworkLinkControl; "letadlo.kml" gives it inside its
// placemark.)

#include <string>
#include <string_view>
#include <utility>

#include "files/file_system.h"
#include "kml/aircraft_view.h"
#include "kml/kml_documents.h"
#include "sampling/aircraft_fix.h"

namespace quorvane {

// The file name: ASCII, and valid on Windows as on POSIX.
inline constexpr std::string_view kLiveViewFileName = "Quorvane live.kml";
inline constexpr std::string_view kViewFileName = "Quorvane view.kml";

// Which documents the live view's links reload.
enum class LiveSources {
  kUpdateDocuments,  // "letadlo.kml" and "trasa.kml", rewritten by the update cycle
  kLiveDocuments,    // "Quorvane live aircraft.kml" and "Quorvane live route.kml"
};

// The whole text of the live view document for a refresh interval in seconds: 8-bit, CR LF after
// every line, no byte-order mark. The links name the sources' aircraft and route documents
// relative to the document, so the folder may move. An interval below 1 is written as 1, since 0
// would have the viewer reload without pause.
std::string LiveViewDocumentText(int refresh_seconds,
                                 LiveSources sources = LiveSources::kUpdateDocuments);

// The whole text of the view document: a NetworkLinkControl holding the aircraft document's
// LookAt for the fix (the same position, altitude, range, tilt, heading and altitude mode texts,
// flat or in 3D), and an empty document.
std::string ViewDocumentText(const AircraftFix& fix, Relief relief = Relief::kFlat);

// Writes the live view document into the Documents folder.
class LiveViewDocument {
 public:
  // files must outlive this object. documents_folder is joined to the file name as the KML
  // documents' folder is.
  LiveViewDocument(FileSystem& files, std::string documents_folder);

  // Saves the document for the interval, replacing the earlier one whole (PublishFile). Called at
  // start-up and whenever the interval changes. Throws FileSaveError when it cannot be saved;
  // the earlier file is then untouched.
  void Write(int refresh_seconds, LiveSources sources = LiveSources::kUpdateDocuments);

  // Saves the view document for a fix, replacing the earlier one whole. Called after every
  // successful sample. Throws FileSaveError when it cannot be saved.
  void WriteView(const AircraftFix& fix);

  // The view follows the aircraft document: flat (the default) or in 3D, from the next view
  // saved.
  void SetRelief(Relief relief) { relief_ = relief; }

  // The full path of "Quorvane live.kml": the folder, the separator and the name.
  std::string Path() const;

  // The folder the document is saved in, and a way to change it.
  const std::string& DocumentsFolder() const { return documents_folder_; }
  void SetDocumentsFolder(std::string folder) { documents_folder_ = std::move(folder); }

 private:
  FileSystem& files_;
  std::string documents_folder_;
  Relief relief_ = Relief::kFlat;
};

}  // namespace quorvane
