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
  if (!fix.Moving || !route_.Add({fix.Latitude, fix.Longitude, time, fix.AltitudeMetres,
                                  RoutePoint::Source::kUpdate})) {
    return;
  }
  // Were the route kept in memory until close, a crash of the program or the computer would lose
  // the whole flight.
  SaveQuietly([this] { track_.Save(); });
  SaveQuietly([this] { documents_.WriteRouteDocument(); });
  if (live_route_kept_) {
    SaveQuietly([this] { documents_.WriteLiveRouteDocument(); });
  }
}

void RouteRecorder::RecordLiveFix(const AircraftFix& fix, Time time) {
  if (!fix.Moving || !route_.Add({fix.Latitude, fix.Longitude, time, fix.AltitudeMetres,
                                  RoutePoint::Source::kLive})) {
    return;
  }
  // "trasa.kml" would come out the same: it is not written again.
  SaveQuietly([this] { track_.Save(); });
  if (live_route_kept_) {
    SaveQuietly([this] { documents_.WriteLiveRouteDocument(); });
  }
}

void RouteRecorder::KeepLiveRoute(bool keep) {
  live_route_kept_ = keep;
  if (keep) {
    SaveQuietly([this] { documents_.WriteLiveRouteDocument(); });
  }
}

}  // namespace quorvane
