#include "kml/route_recorder.h"

#include "files/publish_file.h"

namespace quorvane {

namespace {

// A save that is a safeguard: its failure must not disturb the update.
template <typename Save>
void SaveQuietly(Save save) {
  try {
    save();
  } catch (const FileSaveError&) {
  }
}

}  // namespace

RouteRecorder::RouteRecorder(Route& route, KmlDocuments& documents, GpxTrack& track)
    : route_(route), documents_(documents), track_(track) {}

void RouteRecorder::RecordFix(const AircraftFix& fix, Time time) {
  if (!fix.Moving || !route_.Add({fix.Latitude, fix.Longitude, time, fix.AltitudeMetres})) {
    return;
  }
  // Were the route kept in memory until close, a crash of the program or the computer would lose
  // the whole flight.
  SaveQuietly([this] { track_.Save(); });
  SaveQuietly([this] { documents_.WriteRouteDocument(); });
}

}  // namespace quorvane
