#pragma once

// The two KML documents: "letadlo.kml", the aircraft at its latest fix, and "trasa.kml", the
// route flown while moving. Both are saved in the Documents folder.

#include <string>
#include <string_view>

#include "files/file_system.h"
#include "kml/aircraft_view.h"
#include "kml/xml_writer.h"
#include "route/route.h"
#include "route/route_text.h"
#include "sampling/aircraft_fix.h"

namespace quorvane {

// The file names of the two documents.
inline constexpr std::string_view kAircraftFileName = "letadlo.kml";
inline constexpr std::string_view kRouteFileName = "trasa.kml";

// Builds and saves the two documents; the route document is written from a route that others
// extend (RouteRecorder).
class KmlDocuments {
 public:
  // writer, files and route must outlive this object. documents_folder is joined to the file
  // names as it is (they begin with the platform's separator), so an empty folder gives the name
  // alone, rooted.
  KmlDocuments(XmlWriter& writer, FileSystem& files, const Route& route,
               std::string documents_folder);

  // Flat (the default), both documents are those the program always wrote, byte for byte; in
  // 3D the aircraft and the route stand at their altitude above mean sea level, extruded to the
  // ground, and the view looks at the aircraft at its altitude (ViewOnto). Takes effect at the
  // next save.
  void SetRelief(Relief relief) { relief_ = relief; }
  Relief CurrentRelief() const { return relief_; }

  // Builds the aircraft document from fix and saves it as "letadlo.kml". Throws FileSaveError
  // when it cannot be saved; the earlier file is then untouched.
  void WriteAircraftDocument(const AircraftFix& fix);

  // Builds the route document from the route's points and saves it as "trasa.kml". Throws
  // FileSaveError when it cannot be saved.
  void WriteRouteDocument();

  // The coordinate tuples of the route, each "lon,lat,0 " (the last one too), in the order
  // flown: the text content of the route document's coordinates. Kept as the route grows, so
  // a save costs only the new points and the copy.
  const std::string& RouteCoordinates() { return route_coordinates_.Text(); }

  // The full path of "letadlo.kml": the folder followed by the separator and the name.
  std::string AircraftDocumentPath() const;
  // The full path of "trasa.kml", likewise.
  std::string RouteDocumentPath() const;

  // The folder the documents are saved in, and a way to change it.
  const std::string& DocumentsFolder() const { return documents_folder_; }
  void SetDocumentsFolder(std::string folder) { documents_folder_ = std::move(folder); }

 private:
  // The writer's lines as file text; the line list is released.
  std::string TakeDocumentText();

  XmlWriter& writer_;
  FileSystem& files_;
  std::string documents_folder_;
  Relief relief_ = Relief::kFlat;
  RouteText route_coordinates_;
  // The tuples "lon,lat,altitude " of the route in 3D; made only once 3D is asked for.
  RouteText route_coordinates_3d_;
};

}  // namespace quorvane
