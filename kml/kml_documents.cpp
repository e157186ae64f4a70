#include "kml/kml_documents.h"

#include <utility>

#include "kml/atomic_file.h"
#include "kml/document_path.h"
#include "kml/kml_number_text.h"
#include "kml/kml_templates.h"
#include "kml/platform_files.h"
#include "kml/text_file.h"

namespace quorvane {

namespace {

void AppendTemplate(std::vector<std::string>& lines, std::span<const std::string_view> lines_in) {
  lines.insert(lines.end(), lines_in.begin(), lines_in.end());
}

void AppendClosingLines(std::vector<std::string>& lines) {
  lines.emplace_back("</Document>");
  lines.emplace_back("</kml>");
}

}  // namespace

KmlDocuments::KmlDocuments(XmlWriter& writer, FileSystem& files, std::string documents_folder)
    : writer_(writer), files_(files), documents_folder_(std::move(documents_folder)) {}

std::string KmlDocuments::AircraftDocumentPath() const {
  return DocumentPath(documents_folder_, kAircraftFileName);
}

std::string KmlDocuments::RouteDocumentPath() const {
  return DocumentPath(documents_folder_, kRouteFileName);
}

void KmlDocuments::WriteAircraftDocument(const AircraftFix& fix) {
  const std::string lon = CoordinateText(fix.Longitude);
  const std::string lat = CoordinateText(fix.Latitude);

  writer_.BeginDocument();
  AppendTemplate(writer_.Lines(), AircraftTemplate());
  writer_.OpenElement("Placemark");
  writer_.LeafElement("name", "");
  writer_.OpenElement("LookAt");
  writer_.LeafElement("longitude", lon);
  writer_.LeafElement("latitude", lat);
  writer_.LeafElement("altitude", "10");
  writer_.LeafElement("range", "100000");
  writer_.LeafElement("tilt", "0");
  writer_.LeafElement("heading", HeadingText(fix.Heading));
  writer_.LeafElement("altitudeMode", "relativeToGround");
  writer_.LeafElement("gx:altitudeMode", "relativeToSeaFloor");
  writer_.CloseElement();
  writer_.LeafElement("styleUrl", "#msn_airports");
  writer_.OpenElement("Point");
  writer_.LeafElement("coordinates", lon + "," + lat + ",10");
  // The tuple is added before the save, so a failed save of this document still keeps it.
  if (fix.Moving) {
    route_coordinates_.append(lon).append(",").append(lat).append(",0 ");
  }
  writer_.CloseElement();
  writer_.CloseElement();
  AppendClosingLines(writer_.Lines());
  const std::string aircraft_text = TakeDocumentText();

  try {
    PublishFile(files_, AircraftDocumentPath(), aircraft_text);
  } catch (const FileSaveError&) {
    if (fix.Moving) {
      SaveRouteQuietly();
    }
    throw;
  }
  if (fix.Moving) {
    SaveRouteQuietly();
  }
}

void KmlDocuments::WriteRouteDocument() {
  BuildRouteDocument();
  PublishFile(files_, RouteDocumentPath(), TakeDocumentText());
}

void KmlDocuments::SaveRouteQuietly() {
  // Saved as soon as a tuple is added: were the route kept in memory until close, a crash of
  // the program or the computer would lose the whole flight. This save is a safeguard: its failure
  // must not disturb the update, and the route is saved again, with any error shown, at close.
  try {
    WriteRouteDocument();
  } catch (const FileSaveError&) {
  }
}

void KmlDocuments::BuildRouteDocument() {
  writer_.BeginDocument();
  AppendTemplate(writer_.Lines(), RouteTemplate());
  writer_.OpenElement("Placemark");
  writer_.LeafElement("name", "trasa");
  writer_.LeafElement("styleUrl", "#msn_ylw-pushpin1");
  writer_.OpenElement("LineString");
  writer_.LeafElement("tessellate", "1");
  writer_.LeafElement("coordinates", route_coordinates_);
  writer_.CloseElement();
  writer_.CloseElement();
  AppendClosingLines(writer_.Lines());
}

std::string KmlDocuments::TakeDocumentText() {
  std::string text = CrLfText(writer_.Lines());
  writer_.ReleaseLines();
  return text;
}

KmlDocuments& ProcessKmlDocuments() {
  static KmlDocuments documents(ProcessXmlWriter(), PlatformFileSystem(), "");
  return documents;
}

void SetDocumentsFolder(std::string folder) {
  ProcessKmlDocuments().SetDocumentsFolder(std::move(folder));
}

void WriteAircraftDocument(const AircraftFix& fix) {
  ProcessKmlDocuments().WriteAircraftDocument(fix);
}

void WriteRouteDocument() {
  ProcessKmlDocuments().WriteRouteDocument();
}

const std::string& RouteCoordinates() {
  return ProcessKmlDocuments().RouteCoordinates();
}

void ClearRouteCoordinates() {
  ProcessKmlDocuments().ClearRouteCoordinates();
}

}  // namespace quorvane
