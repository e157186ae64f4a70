// Writes the sample documents that tests/data/kml holds, through the real documents and file
// operations, into the folder given as the only argument:
//   aircraft_50.1N_14.25E_hdg245.kml  the aircraft at 50.1 N, 14.25 E, heading 245.4, moving
//   route_two_tuples.kml              the route after that fix and one at 50.11 N, 14.26 E
//   route_empty.kml                   the route when no fix ever moved
//   live_view_60s.kml                 the live view document for a 60-second interval
//   view_50.1N_14.25E_hdg245.kml      the view document for the aircraft's fix above
//   aircraft_3d_50.1N_14.25E_hdg245.kml  that aircraft at 914.5 m, in 3D
//   route_3d_two_tuples.kml           that route at 914.5 m and 1219.25 m, in 3D
//   view_3d_50.1N_14.25E_hdg245.kml   the view document for that aircraft, in 3D
//   track_known_flight.gpx            the GPX track of the known flight (sample_flight.h)
//   track_empty.gpx                   the GPX track when no fix ever moved
// Used by the outside check (GDAL, xmllint, gpsbabel) and to regenerate the expected files.

#include <exception>
#include <filesystem>
#include <iostream>

#include "files/platform_files.h"
#include "kml/document_set.h"
#include "tests/kml/sample_flight.h"

namespace {

namespace fs = std::filesystem;

// Runs write with the scratch folder inside out, then moves the file it produced (name) to
// out/as.
template <typename Write>
void ProduceFile(const fs::path& out, const fs::path& name, const char* as, Write write) {
  const fs::path scratch = out / ".kml_sample_scratch";
  fs::create_directories(scratch);
  write(scratch.string());
  fs::rename(scratch / name, out / as);
  fs::remove_all(scratch);
}

using Run = quorvane::DocumentSet;

// Runs write with the documents of a fresh run in a scratch folder inside out, then moves the
// file it produced (name) to out/as.
template <typename Write>
void Produce(const fs::path& out, const fs::path& name, const char* as, Write write) {
  ProduceFile(out, name, as, [&](const std::string& folder) {
    Run run(quorvane::PlatformFileSystem(), folder);
    write(run);
  });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kml_sample_documents FOLDER\n";
    return 2;
  }
  const fs::path out = argv[1];
  try {
    using quorvane::testing::FixAt;
    const quorvane::AircraftFix prague = FixAt(50.1, 14.25, 245.4, true, 914.5);
    const quorvane::AircraftFix prague_next = FixAt(50.11, 14.26, 250.0, true, 1219.25);
    constexpr auto k3d = quorvane::Relief::kThreeDimensional;
    Produce(out, "letadlo.kml", "aircraft_50.1N_14.25E_hdg245.kml",
            [&](Run& run) { run.kml.WriteAircraftDocument(prague); });
    Produce(out, "trasa.kml", "route_two_tuples.kml", [&](Run& run) {
      run.recorder.RecordFix(prague, {});
      run.recorder.RecordFix(prague_next, {});
      run.kml.WriteRouteDocument();
    });
    Produce(out, "trasa.kml", "route_empty.kml", [](Run& run) { run.kml.WriteRouteDocument(); });

    Produce(out, "letadlo.kml", "aircraft_3d_50.1N_14.25E_hdg245.kml", [&](Run& run) {
      run.kml.SetRelief(k3d);
      run.kml.WriteAircraftDocument(prague);
    });
    Produce(out, "trasa.kml", "route_3d_two_tuples.kml", [&](Run& run) {
      run.kml.SetRelief(k3d);
      run.recorder.RecordFix(prague, {});
      run.recorder.RecordFix(prague_next, {});
      run.kml.WriteRouteDocument();
    });

    const fs::path live_name(std::string(quorvane::kLiveViewFileName));
    ProduceFile(out, live_name, "live_view_60s.kml", [](const std::string& folder) {
      quorvane::LiveViewDocument(quorvane::PlatformFileSystem(), folder).Write(60);
    });
    const fs::path view_name(std::string(quorvane::kViewFileName));
    ProduceFile(out, view_name, "view_50.1N_14.25E_hdg245.kml", [&](const std::string& folder) {
      quorvane::LiveViewDocument(quorvane::PlatformFileSystem(), folder).WriteView(prague);
    });
    ProduceFile(out, view_name, "view_3d_50.1N_14.25E_hdg245.kml", [&](const std::string& folder) {
      quorvane::LiveViewDocument view(quorvane::PlatformFileSystem(), folder);
      view.SetRelief(k3d);
      view.WriteView(prague);
    });
    const fs::path track_name(std::string(quorvane::kTrackFileName));
    Produce(out, track_name, "track_known_flight.gpx", [](Run& run) {
      quorvane::testing::Fly(run.recorder, quorvane::testing::KnownFlight());
      run.track.Save();
    });
    Produce(out, track_name, "track_empty.gpx", [](Run& run) { run.track.Save(); });
  } catch (const std::exception& error) {
    std::cerr << "kml_sample_documents: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
