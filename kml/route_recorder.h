#pragma once

// Where the route flown grows: a moving fix extends it, and the files that show it, "trasa.kml"
// and "trasa.gpx" (and the live view's route, while kept), are saved at once from it.

#include "kml/gpx_track.h"
#include "kml/kml_documents.h"
#include "route/route.h"
#include "sampling/aircraft_fix.h"

namespace quorvane {

class RouteRecorder {
 public:
  using Time = RoutePoint::Time;

  // route, documents and track must outlive this object; documents and track are the writers of
  // route (made over it).
  RouteRecorder(Route& route, KmlDocuments& documents, GpxTrack& track);

  // For each fix of the update cycle: a moving fix extends the route by its position at time
  // (UTC), and "trasa.gpx" and "trasa.kml" are then saved, so a crash loses nothing of the
  // flight. A failure of these saves is ignored here: both are saved again at close, where a
  // failure is reported. A stationary fix, or a position off the Earth (which breaks the
  // route), changes nothing. Never throws FileSaveError.
  void RecordFix(const AircraftFix& fix, Time time);

  // For each fix of the live view's sampling: as RecordFix, but the point is a live one, which
  // "trasa.kml" does not show, so only the files that show every point are saved ("trasa.gpx",
  // and the live view's route while kept). Never throws FileSaveError.
  void RecordLiveFix(const AircraftFix& fix, Time time);

  // Whether the live view's route document ("Quorvane live route.kml") is saved as the route
  // grows (off at first); turning it on saves it at once.
  void KeepLiveRoute(bool keep);

  // The route was interrupted (a failed sample, a reconnection): nothing joins the points on
  // either side.
  void Break() { route_.Break(); }

  // Forgets the route flown: a new run begins.
  void Clear() { route_.Clear(); }

  // The route flown so far.
  const Route& Flown() const { return route_; }

 private:
  Route& route_;
  KmlDocuments& documents_;
  GpxTrack& track_;
  bool live_route_kept_ = false;
};

}  // namespace quorvane
