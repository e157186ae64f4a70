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
// The live view's copies of them: the aircraft at the latest fix of either sampling, and the
// route with the live points too, so that its line reaches the aircraft.
inline constexpr std::string_view kLiveAircraftFileName = "Quorvane live aircraft.kml";
inline constexpr std::string_view kLiveRouteFileName = "Quorvane live route.kml";

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

  // Builds the route document from the route's points of the update cycle and saves it as
  // "trasa.kml". Throws FileSaveError when it cannot be saved.
  void WriteRouteDocument();

  // The live view's documents: the aircraft document for fix saved as "Quorvane live
  // aircraft.kml", and the route document of every point of the route, live ones too, saved as
  // "Quorvane live route.kml". Each is the same text as its plain document would be, flat or in
  // 3D as the relief says (so both follow any change of those). Throw FileSaveError when it cannot
  // be saved.
  void WriteLiveAircraftDocument(const AircraftFix& fix);
  void WriteLiveRouteDocument();

  // The coordinate tuples of the update cycle's points, each "lon,lat,0 " (the last one too), in
  // the order flown: the text content of the route document's coordinates. Kept as the route grows,
  // so a save costs only the new points and the copy.
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
  // The text of the aircraft document for fix, and of a route document of the points whose
  // tuples are coordinates (flat) or coordinates_3d (in 3D); both follow the relief.
  std::string AircraftDocumentText(const AircraftFix& fix);
  std::string RouteDocumentText(RouteText& coordinates, RouteText& coordinates_3d);

  XmlWriter& writer_;
  FileSystem& files_;
  std::string documents_folder_;
  Relief relief_ = Relief::kFlat;
  RouteText route_coordinates_;       // the update cycle's points
  RouteText live_route_coordinates_;  // every point
  // The same two as tuples "lon,lat,altitude " in 3D; made only once 3D is asked for.
  RouteText route_coordinates_3d_;
  RouteText live_route_coordinates_3d_;
};

}  // namespace quorvane
