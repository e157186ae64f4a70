#pragma once

// Every file that one run of the program keeps in the Documents folder, made together: the two
// KML documents and the GPX track over one route, the recorder that grows the route, the live
// view, and what earlier runs left there.

#include <string>

#include "files/file_system.h"
#include "kml/earlier_runs.h"
#include "kml/gpx_track.h"
#include "kml/kml_documents.h"
#include "kml/live_view_document.h"
#include "kml/route_recorder.h"
#include "kml/xml_writer.h"
#include "route/route.h"

namespace quorvane {

struct DocumentSet {
  // All saved through files, which must outlive the set, into documents_folder until each is
  // told another folder.
  explicit DocumentSet(FileSystem& files, const std::string& documents_folder = "");
  DocumentSet(const DocumentSet&) = delete;
  DocumentSet& operator=(const DocumentSet&) = delete;

  XmlWriter writer;
  Route route;
  KmlDocuments kml;
  GpxTrack track;
  RouteRecorder recorder;
  LiveViewDocument live_view;
  EarlierRuns earlier_runs;
};

}  // namespace quorvane
