#pragma once

#include <string>

#include "sources/simulator_connector.h"

namespace quorvane::sources {

// One line on how a network source fared, for a user wondering why it was not found, e.g.
// "FlightGear, listening on 127.0.0.1:5510: 25 datagrams received, none taken; ignored: 25 from
// another address" or "X-Plane at 127.0.0.1:49000: no datagram received".
std::string SourceReportLine(const SourceStatus& source);

}  // namespace quorvane::sources
