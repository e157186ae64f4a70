#pragma once

// The two KML documents: "letadlo.kml", the aircraft at its latest fix, and "trasa.kml", the
// route flown while moving. Both are saved in the Documents folder.

#include <string>
#include <string_view>

#include "kml/file_system.h"
#include "kml/xml_writer.h"
#include "sampling/aircraft_fix.h"

namespace quorvane {

// The file names of the two documents.
inline constexpr std::string_view kAircraftFileName = "letadlo.kml";
inline constexpr std::string_view kRouteFileName = "trasa.kml";

// Builds and saves the two documents, and keeps the route text.
class KmlDocuments {
 public:
  // writer and files must outlive this object. documents_folder is joined to the file names as
  // it is (they begin with the platform's separator), so an empty folder gives the name alone,
  // rooted.
  KmlDocuments(XmlWriter& writer, FileSystem& files, std::string documents_folder);

  // Builds the aircraft document from fix and saves it as "letadlo.kml". A moving fix first
  // extends RouteCoordinates by one tuple ("lon,lat,0 "), and then "trasa.kml" is saved too, so
  // the route survives a crash; a failure of that route save is ignored. Throws FileSaveError
  // when "letadlo.kml" cannot be saved (the route is extended and saved all the same).
  void WriteAircraftDocument(const AircraftFix& fix);

  // Builds the route document from RouteCoordinates and saves it as "trasa.kml". Throws
  // FileSaveError when it cannot be saved.
  void WriteRouteDocument();

  // The coordinate tuples of the route flown, each "lon,lat,0 ", in the order flown.
  const std::string& RouteCoordinates() const { return route_coordinates_; }
  // Forgets the route flown.
  void ClearRouteCoordinates() { route_coordinates_.clear(); }

  // The full path of "letadlo.kml": the folder followed by the separator and the name.
  std::string AircraftDocumentPath() const;
  // The full path of "trasa.kml", likewise.
  std::string RouteDocumentPath() const;

  // The folder the documents are saved in, and a way to change it.
  const std::string& DocumentsFolder() const { return documents_folder_; }
  void SetDocumentsFolder(std::string folder) { documents_folder_ = std::move(folder); }

 private:
  void BuildRouteDocument();
  void SaveRouteQuietly();
  // The writer's lines as file text; the line list is released.
  std::string TakeDocumentText();

  XmlWriter& writer_;
  FileSystem& files_;
  std::string documents_folder_;
  std::string route_coordinates_;
};

// The process's documents, over the process's XML writer and the platform's files; the
// Documents folder is empty until the application sets it at start-up.
KmlDocuments& ProcessKmlDocuments();

// Sets the folder that the process's documents are saved in.
void SetDocumentsFolder(std::string folder);
// KmlDocuments::WriteAircraftDocument on the process's documents.
void WriteAircraftDocument(const AircraftFix& fix);
// KmlDocuments::WriteRouteDocument on the process's documents.
void WriteRouteDocument();
// The process's route text.
const std::string& RouteCoordinates();
// Empties the process's route text (the main window does it when it is created).
void ClearRouteCoordinates();

}  // namespace quorvane
