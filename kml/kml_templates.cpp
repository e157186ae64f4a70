#include "kml/kml_templates.h"

#include <array>

namespace quorvane {

namespace {

// Namespaces and icon addresses are spelt as Google Earth writes them itself, so the viewer
// finds its built-in copies of the standard icons. The kml start tag is split over two lines, the
// first ending in a blank.
constexpr std::array<std::string_view, 46> kAircraftTemplate = {
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\" ",
    "xmlns:kml=\"http://www.opengis.net/kml/2.2\" xmlns:atom=\"http://www.w3.org/2005/Atom\">",
    "<Document>",
    "\t<name>letadlo.kml</name>",
    "\t<StyleMap id=\"msn_airports\">",
    "\t\t<Pair>",
    "\t\t\t<key>normal</key>",
    "\t\t\t<styleUrl>#sn_airports</styleUrl>",
    "\t\t</Pair>",
    "\t\t<Pair>",
    "\t\t\t<key>highlight</key>",
    "\t\t\t<styleUrl>#sh_airports</styleUrl>",
    "\t\t</Pair>",
    "\t</StyleMap>",
    "\t<Style id=\"sh_airports\">",
    "\t\t<IconStyle>",
    "\t\t\t<color>ffff5500</color>",
    "\t\t\t<scale>0.827273</scale>",
    "\t\t\t<Icon>",
    "\t\t\t\t<href>http://maps.google.com/mapfiles/kml/shapes/airports.png</href>",
    "\t\t\t</Icon>",
    "\t\t\t<hotSpot x=\"0.5\" y=\"0\" xunits=\"fraction\" yunits=\"fraction\"/>",
    "\t\t</IconStyle>",
    "\t\t<LabelStyle>",
    "\t\t\t<color>ffff5500</color>",
    "\t\t</LabelStyle>",
    "\t\t<ListStyle>",
    "\t\t</ListStyle>",
    "\t</Style>",
    "\t<Style id=\"sn_airports\">",
    "\t\t<IconStyle>",
    "\t\t\t<color>ffff5500</color>",
    "\t\t\t<scale>0.7</scale>",
    "\t\t\t<Icon>",
    "\t\t\t\t<href>http://maps.google.com/mapfiles/kml/shapes/airports.png</href>",
    "\t\t\t</Icon>",
    "\t\t\t<hotSpot x=\"0.5\" y=\"0\" xunits=\"fraction\" yunits=\"fraction\"/>",
    "\t\t</IconStyle>",
    "\t\t<LabelStyle>",
    "\t\t\t<color>ffff5500</color>",
    "\t\t</LabelStyle>",
    "\t\t<ListStyle>",
    "\t\t</ListStyle>",
    "\t</Style>",
    "",
};

constexpr std::array<std::string_view, 40> kRouteTemplate = {
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/kml/ext/2.2\" ",
    "xmlns:kml=\"http://www.opengis.net/kml/2.2\" xmlns:atom=\"http://www.w3.org/2005/Atom\">",
    "<Document>",
    "\t<name>trasa.kml</name>",
    "\t<Style id=\"sn_ylw-pushpin1\">",
    "\t\t<IconStyle>",
    "\t\t\t<scale>1.1</scale>",
    "\t\t\t<Icon>",
    "\t\t\t\t<href>http://maps.google.com/mapfiles/kml/pushpin/ylw-pushpin.png</href>",
    "\t\t\t</Icon>",
    "\t\t\t<hotSpot x=\"20\" y=\"2\" xunits=\"pixels\" yunits=\"pixels\"/>",
    "\t\t</IconStyle>",
    "\t\t<LineStyle>",
    "\t\t\t<color>ffff5500</color>",
    "\t\t</LineStyle>",
    "\t</Style>",
    "\t<StyleMap id=\"msn_ylw-pushpin1\">",
    "\t\t<Pair>",
    "\t\t\t<key>normal</key>",
    "\t\t\t<styleUrl>#sn_ylw-pushpin1</styleUrl>",
    "\t\t</Pair>",
    "\t\t<Pair>",
    "\t\t\t<key>highlight</key>",
    "\t\t\t<styleUrl>#sh_ylw-pushpin</styleUrl>",
    "\t\t</Pair>",
    "\t</StyleMap>",
    "\t<Style id=\"sh_ylw-pushpin\">",
    "\t\t<IconStyle>",
    "\t\t\t<scale>1.3</scale>",
    "\t\t\t<Icon>",
    "\t\t\t\t<href>http://maps.google.com/mapfiles/kml/pushpin/ylw-pushpin.png</href>",
    "\t\t\t</Icon>",
    "\t\t\t<hotSpot x=\"20\" y=\"2\" xunits=\"pixels\" yunits=\"pixels\"/>",
    "\t\t</IconStyle>",
    "\t\t<LineStyle>",
    "\t\t\t<color>ffff5500</color>",
    "\t\t</LineStyle>",
    "\t</Style>",
    "",
};

}  // namespace

std::span<const std::string_view> AircraftTemplate() {
  return kAircraftTemplate;
}

std::span<const std::string_view> RouteTemplate() {
  return kRouteTemplate;
}

}  // namespace quorvane
