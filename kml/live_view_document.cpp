#include "kml/live_view_document.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "files/document_path.h"
#include "files/publish_file.h"
#include "files/text_file.h"
#include "kml/kml_number_text.h"

namespace quorvane {

namespace {

// One network link, indented with tabs like the other documents' templates. Elements follow the
// order that the KML 2.2 schema gives (Feature's name, then flyToView, then Link).
void AppendNetworkLink(std::vector<std::string>& lines, std::string_view name,
                       std::string_view href, bool fly_to_view, const std::string& seconds) {
  lines.emplace_back("\t<NetworkLink>");
  lines.emplace_back("\t\t<name>" + std::string(name) + "</name>");
  lines.emplace_back(fly_to_view ? "\t\t<flyToView>1</flyToView>" : "\t\t<flyToView>0</flyToView>");
  lines.emplace_back("\t\t<Link>");
  lines.emplace_back("\t\t\t<href>" + std::string(href) + "</href>");
  lines.emplace_back("\t\t\t<refreshMode>onInterval</refreshMode>");
  lines.emplace_back("\t\t\t<refreshInterval>" + seconds + "</refreshInterval>");
  lines.emplace_back("\t\t</Link>");
  lines.emplace_back("\t</NetworkLink>");
}

}  // namespace

std::string LiveViewDocumentText(int refresh_seconds, LiveSources sources) {
  const bool live = sources == LiveSources::kLiveDocuments;
  const std::string seconds = std::to_string(std::max(refresh_seconds, 1));
  std::vector<std::string> lines = {
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">",
      "<Document>",
      "\t<name>Quorvane live</name>",
      "\t<open>1</open>",
  };
  // The names are the file names themselves: a relative link resolves beside this document.
  AppendNetworkLink(lines, "Aircraft", live ? kLiveAircraftFileName : kAircraftFileName, false,
                    seconds);
  AppendNetworkLink(lines, "Route", live ? kLiveRouteFileName : kRouteFileName, false, seconds);
  AppendNetworkLink(lines, "View", std::string(kViewFileName), true, seconds);
  lines.emplace_back("</Document>");
  lines.emplace_back("</kml>");
  return CrLfText(lines);
}

std::string ViewDocumentText(const AircraftFix& fix, Relief relief) {
  const AircraftView view = ViewOnto(fix, relief);
  const std::vector<std::string> lines = {
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">",
      "<NetworkLinkControl>",
      "\t<LookAt>",
      "\t\t<longitude>" + CoordinateText(fix.Longitude) + "</longitude>",
      "\t\t<latitude>" + CoordinateText(fix.Latitude) + "</latitude>",
      "\t\t<altitude>" + view.altitude + "</altitude>",
      "\t\t<heading>" + HeadingText(fix.Heading) + "</heading>",
      "\t\t<tilt>" + view.tilt + "</tilt>",
      "\t\t<range>" + view.range + "</range>",
      "\t\t<altitudeMode>" + view.altitude_mode + "</altitudeMode>",
      "\t</LookAt>",
      "</NetworkLinkControl>",
      "<Document>",
      "\t<name>Quorvane view</name>",
      "</Document>",
      "</kml>",
  };
  return CrLfText(lines);
}

void LiveViewDocument::WriteView(const AircraftFix& fix) {
  PublishFile(files_, DocumentPath(documents_folder_, kViewFileName),
              ViewDocumentText(fix, relief_));
}

LiveViewDocument::LiveViewDocument(FileSystem& files, std::string documents_folder)
    : files_(files), documents_folder_(std::move(documents_folder)) {}

void LiveViewDocument::Write(int refresh_seconds, LiveSources sources) {
  PublishFile(files_, Path(), LiveViewDocumentText(refresh_seconds, sources));
}

std::string LiveViewDocument::Path() const {
  return DocumentPath(documents_folder_, kLiveViewFileName);
}

}  // namespace quorvane
