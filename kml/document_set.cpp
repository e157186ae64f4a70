#include "kml/document_set.h"

namespace quorvane {

DocumentSet::DocumentSet(FileSystem& files, const std::string& documents_folder)
    : kml(writer, files, route, documents_folder),
      track(files, route, documents_folder),
      recorder(route, kml, track),
      live_view(files, documents_folder),
      earlier_runs(files) {}

}  // namespace quorvane
