#include "kml/kml_documents.h"

#include <utility>

#include "files/document_path.h"
#include "files/publish_file.h"
#include "files/text_file.h"
#include "kml/kml_number_text.h"
#include "kml/kml_templates.h"

namespace quorvane {

namespace {

void AppendTemplate(std::vector<std::string>& lines, std::span<const std::string_view> lines_in) {
  lines.insert(lines.end(), lines_in.begin(), lines_in.end());
}

void AppendClosingLines(std::vector<std::string>& lines) {
  lines.emplace_back("</Document>");
  lines.emplace_back("</kml>");
}

// One coordinate tuple of the route: the longitude and latitude texts, as the aircraft document
// writes them, at ground level.
void AppendTuple(std::string& text, const Route& route, std::size_t index) {
  const RoutePoint& point = route.Points()[index];
  text.append(CoordinateText(point.longitude))
      .append(",")
      .append(CoordinateText(point.latitude))
      .append(",0 ");
}

// One coordinate tuple of the route in 3D: at the point's altitude above mean sea level.
void AppendTuple3d(std::string& text, const Route& route, std::size_t index) {
  const RoutePoint& point = route.Points()[index];
  text.append(CoordinateText(point.longitude))
      .append(",")
      .append(CoordinateText(point.latitude))
      .append(",")
      .append(AltitudeText(point.altitude))
      .append(" ");
}

// "trasa.kml" keeps the update cycle's points only, whatever else the route holds, flat or in 3D.
void AppendUpdateTuple(std::string& text, const Route& route, std::size_t index) {
  if (route.Points()[index].source == RoutePoint::Source::kUpdate) {
    AppendTuple(text, route, index);
  }
}

void AppendUpdateTuple3d(std::string& text, const Route& route, std::size_t index) {
  if (route.Points()[index].source == RoutePoint::Source::kUpdate) {
    AppendTuple3d(text, route, index);
  }
}

}  // namespace

KmlDocuments::KmlDocuments(XmlWriter& writer, FileSystem& files, const Route& route,
                           std::string documents_folder)
    : writer_(writer),
      files_(files),
      documents_folder_(std::move(documents_folder)),
      route_coordinates_(route, AppendUpdateTuple),
      live_route_coordinates_(route, AppendTuple),
      route_coordinates_3d_(route, AppendUpdateTuple3d),
      live_route_coordinates_3d_(route, AppendTuple3d) {}

std::string KmlDocuments::AircraftDocumentPath() const {
  return DocumentPath(documents_folder_, kAircraftFileName);
}

std::string KmlDocuments::RouteDocumentPath() const {
  return DocumentPath(documents_folder_, kRouteFileName);
}

void KmlDocuments::WriteAircraftDocument(const AircraftFix& fix) {
  PublishFile(files_, AircraftDocumentPath(), AircraftDocumentText(fix));
}

void KmlDocuments::WriteLiveAircraftDocument(const AircraftFix& fix) {
  PublishFile(files_, DocumentPath(documents_folder_, kLiveAircraftFileName),
              AircraftDocumentText(fix));
}

void KmlDocuments::WriteRouteDocument() {
  PublishFile(files_, RouteDocumentPath(),
              RouteDocumentText(route_coordinates_, route_coordinates_3d_));
}

void KmlDocuments::WriteLiveRouteDocument() {
  PublishFile(files_, DocumentPath(documents_folder_, kLiveRouteFileName),
              RouteDocumentText(live_route_coordinates_, live_route_coordinates_3d_));
}

std::string KmlDocuments::AircraftDocumentText(const AircraftFix& fix) {
  const std::string lon = CoordinateText(fix.Longitude);
  const std::string lat = CoordinateText(fix.Latitude);
  const bool flat = relief_ == Relief::kFlat;
  const AircraftView view = ViewOnto(fix, relief_);

  writer_.BeginDocument();
  AppendTemplate(writer_.Lines(), AircraftTemplate());
  writer_.OpenElement("Placemark");
  writer_.LeafElement("name", "");
  writer_.OpenElement("LookAt");
  writer_.LeafElement("longitude", lon);
  writer_.LeafElement("latitude", lat);
  writer_.LeafElement("altitude", view.altitude);
  writer_.LeafElement("range", view.range);
  writer_.LeafElement("tilt", view.tilt);
  writer_.LeafElement("heading", HeadingText(fix.Heading));
  writer_.LeafElement("altitudeMode", view.altitude_mode);
  if (flat) {
    writer_.LeafElement("gx:altitudeMode", "relativeToSeaFloor");
  }
  writer_.CloseElement();
  writer_.LeafElement("styleUrl", "#msn_airports");
  writer_.OpenElement("Point");
  if (flat) {
    writer_.LeafElement("coordinates", lon + "," + lat + ",10");
  } else {
    // A line from the aircraft down to the ground shows how high it is.
    writer_.LeafElement("extrude", "1");
    writer_.LeafElement("altitudeMode", "absolute");
    writer_.LeafElement("coordinates", lon + "," + lat + "," + AltitudeText(fix.AltitudeMetres));
  }
  writer_.CloseElement();
  writer_.CloseElement();
  AppendClosingLines(writer_.Lines());
  return TakeDocumentText();
}

std::string KmlDocuments::RouteDocumentText(RouteText& coordinates, RouteText& coordinates_3d) {
  writer_.BeginDocument();
  AppendTemplate(writer_.Lines(), RouteTemplate());
  writer_.OpenElement("Placemark");
  writer_.LeafElement("name", "trasa");
  writer_.LeafElement("styleUrl", "#msn_ylw-pushpin1");
  if (relief_ == Relief::kFlat) {
    writer_.OpenElement("LineString");
    writer_.LeafElement("tessellate", "1");
    writer_.LeafElement("coordinates", coordinates.Text());
  } else {
    // The wall from the route down to the ground, in the line's colour, half transparent, so
    // the ground shows through the curtain.
    writer_.OpenElement("Style");
    writer_.OpenElement("PolyStyle");
    writer_.LeafElement("color", "7fff5500");
    writer_.CloseElement();
    writer_.CloseElement();
    writer_.OpenElement("LineString");
    writer_.LeafElement("extrude", "1");
    writer_.LeafElement("altitudeMode", "absolute");
    writer_.LeafElement("coordinates", coordinates_3d.Text());
  }
  writer_.CloseElement();
  writer_.CloseElement();
  AppendClosingLines(writer_.Lines());
  return TakeDocumentText();
}

std::string KmlDocuments::TakeDocumentText() {
  std::string text = CrLfText(writer_.Lines());
  writer_.ReleaseLines();
  return text;
}

}  // namespace quorvane
