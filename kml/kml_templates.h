#pragma once

// The fixed heads of the two KML documents: XML declaration, the kml start tag with its
// namespaces, the document name and the styles, indented with tabs, ending in an empty line.

#include <span>
#include <string_view>

namespace quorvane {

// The 46 lines that begin "letadlo.kml": the airport icon styles and the style map
// "msn_airports" that the aircraft placemark refers to.
std::span<const std::string_view> AircraftTemplate();

// The 40 lines that begin "trasa.kml": the pushpin and line styles and the style map
// "msn_ylw-pushpin1" that the route placemark refers to.
std::span<const std::string_view> RouteTemplate();

}  // namespace quorvane
