#include "kml/earlier_runs.h"

#include <cstdio>

#include "files/document_path.h"
#include "files/publish_file.h"
#include "kml/gpx_track.h"
#include "kml/kml_documents.h"
#include "kml/live_view_document.h"

namespace quorvane {

namespace {

// Route files are small (a day at 10 s is about 200 KB of route); a larger one is not copied
// in memory, and stays where it is.
constexpr std::size_t kMaxRouteFileSize = 256 * 1024 * 1024;
constexpr int kMaxNumbers = 100;

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// "trasa 2026-12-08 1430.kml", or with " (n)" before the extension for number n > 1.
std::string KeptName(std::string_view name, const std::tm& written, int number) {
  const auto dot = name.rfind('.');
  const std::string_view stem = name.substr(0, dot);
  const std::string_view extension = dot == std::string_view::npos ? "" : name.substr(dot);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, " %04d-%02d-%02d %02d%02d", written.tm_year + 1900,
                written.tm_mon + 1, written.tm_mday, written.tm_hour, written.tm_min);
  std::string kept(stem);
  kept += stamp;
  if (number > 1) {
    kept += " (" + std::to_string(number) + ")";
  }
  kept += extension;
  return kept;
}

}  // namespace

std::tm ProcessLocalTime(std::chrono::system_clock::time_point time) {
  // One thread: the C library's shared result is safe to copy at once.
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  const std::tm* local = std::localtime(&seconds);
  return local != nullptr ? *local : std::tm{};
}

bool HoldsAFlight(std::string_view text) {
  if (text.find("<gpx") != std::string_view::npos && text.find("<trk") != std::string_view::npos) {
    return text.find("<trkpt") != std::string_view::npos;
  }
  constexpr std::string_view kOpen = "<coordinates>";
  constexpr std::string_view kClose = "</coordinates>";
  bool any = false;
  for (auto at = text.find(kOpen); at != std::string_view::npos; at = text.find(kOpen, at + 1)) {
    any = true;
    const auto start = at + kOpen.size();
    const auto end = text.find(kClose, start);
    if (end == std::string_view::npos || !IsBlank(text.substr(start, end - start))) {
      return true;
    }
  }
  return !any;
}

EarlierRuns::EarlierRuns(FileSystem& files, LocalTimeOf local_time)
    : files_(files), local_time_(std::move(local_time)) {}

void EarlierRuns::SeeTo(const std::string& documents_folder) {
  // Nothing here may keep the program from starting: every failure leaves things as they were.
  try {
    RemoveStaleTemporaries(documents_folder);
    KeepFlight(documents_folder);
  } catch (const std::exception&) {
  }
}

int EarlierRuns::RemoveStaleTemporaries(const std::string& documents_folder) {
  int removed = 0;
  for (const std::string_view name :
       {kAircraftFileName, kRouteFileName, kTrackFileName, kLiveViewFileName, kViewFileName}) {
    removed += files_.RemoveAbandonedTemporaries(DocumentPath(documents_folder, name));
  }
  return removed;
}

std::vector<std::string> EarlierRuns::KeepFlight(const std::string& documents_folder) {
  std::vector<std::string> kept;
  for (const std::string_view name : {kRouteFileName, kTrackFileName}) {
    if (std::string path = Keep(documents_folder, name); !path.empty()) {
      kept.push_back(std::move(path));
    }
  }
  return kept;
}

std::string EarlierRuns::Keep(const std::string& documents_folder, std::string_view name) {
  const std::string path = DocumentPath(documents_folder, name);
  std::string bytes;
  std::string why;
  if (files_.ReadWhole(path, kMaxRouteFileSize, bytes, why) != FileSystem::ReadResult::kRead ||
      !HoldsAFlight(bytes)) {
    return {};
  }
  const auto written = files_.LastWriteTime(path);
  const std::string folder = DocumentPath(documents_folder, kFlightsFolderName);
  if (!written || !files_.CreateFolder(folder, why)) {
    return {};
  }
  const std::tm local = local_time_(*written);
  for (int number = 1; number <= kMaxNumbers; ++number) {
    const std::string target = DocumentPath(folder, KeptName(name, local, number));
    std::string there;
    switch (files_.ReadWhole(target, kMaxRouteFileSize, there, why)) {
      case FileSystem::ReadResult::kRead:
        if (there == bytes) {
          return {};  // kept by an earlier start already
        }
        continue;
      case FileSystem::ReadResult::kUnreadable:
        continue;
      case FileSystem::ReadResult::kMissing:
        break;
    }
    try {
      if (PublishNewFile(files_, target, bytes)) {
        return target;
      }
    } catch (const FileSaveError&) {
      return {};
    }
  }
  return {};
}

}  // namespace quorvane
