#pragma once

// What earlier runs of the program left in the Documents folder, seen to at start-up before
// this run writes there: the last flight's route files are kept in a folder of their own, since
// this run replaces them (even a run that never flies writes an empty route at close), and the
// temporary files of runs that were killed while saving are removed.

#include <chrono>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_system.h"

namespace quorvane {

// The folder, beside the route files, that keeps the flights of earlier runs.
inline constexpr std::string_view kFlightsFolderName = "Quorvane flights";

// The calendar time of a point in time where the user is (the local time of day).
using LocalTimeOf = std::function<std::tm(std::chrono::system_clock::time_point)>;
// The local time of the process's time zone.
std::tm ProcessLocalTime(std::chrono::system_clock::time_point time);

// True unless text is a route file (KML or GPX, as this program writes them) that holds no
// point. A file that is neither is worth keeping.
bool HoldsAFlight(std::string_view text);

class EarlierRuns {
 public:
  // files must outlive this object.
  explicit EarlierRuns(FileSystem& files, LocalTimeOf local_time = ProcessLocalTime);

  // Keeps the flight and removes the stale temporary files, as below. Never throws.
  void SeeTo(const std::string& documents_folder);

  // Copies each route file of an earlier run ("trasa.kml", "trasa.gpx") that holds a flight into
  // the "Quorvane flights" folder beside it (made when needed), named after its stem and when it
  // was last written, local time: "trasa 2026-12-08 1430.kml". When that name holds another file
  // already, " (2)", " (3)" ... is added; a file kept already under its name is not kept again.
  // Each copy is written whole or not at all. Returns the paths of the copies made; a file that
  // cannot be kept is left as it is (the route files themselves are never touched here).
  std::vector<std::string> KeepFlight(const std::string& documents_folder);

  // Removes the temporary files that runs which no longer run left beside the documents.
  // Returns how many.
  int RemoveStaleTemporaries(const std::string& documents_folder);

 private:
  // Keeps one file; its copy's path, or empty.
  std::string Keep(const std::string& documents_folder, std::string_view name);

  FileSystem& files_;
  LocalTimeOf local_time_;
};

}  // namespace quorvane
