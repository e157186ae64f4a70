// Long flights through the window logic on the fake clock: a whole day with the files kept in
// memory, so that the test measures the program and not the disk, and an hour over the real
// files, counting the process's open descriptors.

#include <dirent.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tests/app/form_harness.h"

namespace quorvane {
namespace {

using testing::FormHarness;

// File operations in memory: each published file's last bytes and how often it was published.
class MemoryFileSystem final : public FileSystem {
 public:
  bool CreateTemporary(const std::string& target, std::string& temp_path, Handle& file,
                       std::string&) override {
    file = next_handle_++;
    temp_path = target + "." + std::to_string(file) + ".tmp";
    open_[file] = Open{temp_path, {}};
    return true;
  }
  bool Write(Handle file, std::string_view bytes, std::string&) override {
    open_.at(file).bytes.append(bytes);
    return true;
  }
  bool Sync(Handle, std::string&) override { return true; }
  bool Close(Handle file, std::string&) override {
    Open& closed = open_.at(file);
    closed_[closed.path] = std::move(closed.bytes);
    open_.erase(file);
    return true;
  }
  bool Replace(const std::string& from, const std::string& to, std::string&) override {
    published_[to] = std::move(closed_.at(from));
    closed_.erase(from);
    ++publications_[to];
    return true;
  }
  void Remove(const std::string& path) override { closed_.erase(path); }
  ReadResult ReadWhole(const std::string& path, std::size_t, std::string& bytes,
                       std::string&) override {
    const auto found = published_.find(path);
    if (found == published_.end()) {
      return ReadResult::kMissing;
    }
    bytes = found->second;
    return ReadResult::kRead;
  }
  std::optional<std::chrono::system_clock::time_point> LastWriteTime(const std::string&) override {
    return std::nullopt;
  }
  bool CreateFolder(const std::string&, std::string&) override { return true; }
  bool RenameNew(const std::string& from, const std::string& to, std::string& why) override {
    return !published_.contains(to) && Replace(from, to, why);
  }
  int RemoveAbandonedTemporaries(const std::string&) override { return 0; }

  // The bytes last published at path.
  const std::string& Published(const std::string& path) const { return published_.at(path); }
  // How many times a file was published at path.
  int Publications(const std::string& path) const {
    const auto found = publications_.find(path);
    return found == publications_.end() ? 0 : found->second;
  }
  // Temporary files not yet closed, or closed but neither published nor removed.
  std::size_t Leftovers() const { return open_.size() + closed_.size(); }

 private:
  struct Open {
    std::string path;
    std::string bytes;
  };
  Handle next_handle_ = 1;
  std::map<Handle, Open> open_;
  std::map<std::string, std::string> closed_;
  std::map<std::string, std::string> published_;
  std::map<std::string, int> publications_;
};

// The number of this process's open file descriptors.
int OpenDescriptors() {
  DIR* folder = ::opendir("/proc/self/fd");
  int count = 0;
  while (const dirent* entry = ::readdir(folder)) {
    count += entry->d_name[0] != '.';
  }
  ::closedir(folder);
  return count - 1;  // the folder's own
}

int Count(std::string_view text, std::string_view part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The route's "lon,lat,0" tuples, each once.
std::set<std::string> DistinctTuples(const std::string& route) {
  std::set<std::string> tuples;
  for (std::size_t at = 0; at < route.size();) {
    const std::size_t end = route.find(' ', at);
    tuples.insert(route.substr(at, end - at));
    at = end == std::string::npos ? route.size() : end + 1;
  }
  return tuples;
}

TEST(SoakTest, DayLongFlightAtTenSecondsKeepsEveryPointAndShowsNoError) {
  constexpr int kUpdates = 24 * 60 * 60 / 10;
  MemoryFileSystem files;
  FormHarness h(files);
  // Flying north-east at 80 m/s: every update finds the aircraft somewhere new.
  const auto fly_to = [&h](int update) {
    h.PutAircraft({45.0 + update * 0.0005, 5.0 + update * 0.001, 45.0, 0.0, 80.0, 1000.0});
  };
  fly_to(0);
  h.form->OnCreate();  // the first update
  h.form->OnShow();
  h.form->OnIntervalTyped("10");
  for (int update = 1; update < kUpdates; ++update) {
    fly_to(update);
    h.clock.Advance(10000);
  }

  EXPECT_EQ(files.Publications(h.AircraftFile()), kUpdates);
  const std::string& route = h.documents.RouteCoordinates();
  EXPECT_EQ(Count(route, ",0 "), kUpdates);
  EXPECT_EQ(DistinctTuples(route).size(), static_cast<std::size_t>(kUpdates));
  EXPECT_EQ(route.substr(0, 22), "5.000000,45.000000,0 5");
  EXPECT_TRUE(route.ends_with("13.639000,49.319500,0 ")) << route.substr(route.size() - 40);

  ASSERT_TRUE(h.form->OnCloseRequested());
  EXPECT_TRUE(h.view.errors.empty()) << h.view.errors.front();
  EXPECT_TRUE(h.view.questions.empty());
  const std::string& kml = files.Published(h.RouteFile());
  EXPECT_NE(kml.find("<coordinates>" + route + "</coordinates>"), std::string::npos);
  const std::string& gpx = files.Published(h.File("trasa.gpx"));
  EXPECT_EQ(Count(gpx, "<trkpt "), kUpdates);
  EXPECT_EQ(Count(gpx, "<trkseg>"), 1);
  EXPECT_NE(gpx.find("<time>2024-02-29T23:59:00Z</time>"), std::string::npos);
  EXPECT_NE(gpx.find("lat=\"49.319500\" lon=\"13.639000\""), std::string::npos);
  EXPECT_NE(gpx.find("<time>2024-03-01T23:58:50Z</time>"), std::string::npos);
  EXPECT_EQ(files.Leftovers(), 0u);
}

// The files in folder whose names end with ".tmp".
std::vector<std::string> Temporaries(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().ends_with(".tmp")) {
      found.push_back(entry.path().filename().string());
    }
  }
  return found;
}

// An hour at 10 s over the platform's own files in a temporary Documents folder: every save
// opens, writes, syncs and closes a real file, so a descriptor left open by any step shows in
// /proc/self/fd. Saves also fail on the way: the Documents folder is gone for a while (creating
// the temporary file fails), later "letadlo.kml" is a folder (the save fails after its temporary
// file was written and closed, and that file must go).
TEST(SoakTest, HourOverTheRealFilesWithFailedSavesLeavesNoDescriptorOpen) {
  constexpr int kUpdates = 60 * 60 / 10;
  constexpr int kGoneFrom = 120;     // the Documents folder is gone for 30 updates from here
  constexpr int kBlockedFrom = 240;  // "letadlo.kml" is a folder for 30 updates from here
  const int descriptors_before = OpenDescriptors();
  {
    FormHarness h;  // the platform's files
    const auto fly_to = [&h](int update) {
      h.PutAircraft({45.0 + update * 0.0005, 5.0 + update * 0.001, 45.0, 0.0, 80.0, 1000.0});
    };
    const std::filesystem::path blocker = std::filesystem::path(h.AircraftFile()) / "blocker";
    fly_to(0);
    h.form->OnCreate();
    h.form->OnShow();
    h.form->OnIntervalTyped("10");
    EXPECT_EQ(OpenDescriptors(), descriptors_before) << "after the first update";
    for (int update = 1; update < kUpdates; ++update) {
      if (update == kGoneFrom) {
        std::filesystem::remove_all(h.folder);
      } else if (update == kGoneFrom + 30) {
        std::filesystem::create_directories(h.folder);
      } else if (update == kBlockedFrom) {
        std::filesystem::remove(h.AircraftFile());
        std::filesystem::create_directories(blocker);
      } else if (update == kBlockedFrom + 30) {
        EXPECT_EQ(Temporaries(h.folder), std::vector<std::string>{}) << "none left by a failure";
        std::filesystem::remove_all(h.AircraftFile());
      }
      fly_to(update);
      h.clock.Advance(10000);
      if (update % 30 == 0) {
        ASSERT_EQ(OpenDescriptors(), descriptors_before) << "after update " << update;
      }
    }
    ASSERT_TRUE(h.form->OnCloseRequested());
    EXPECT_FALSE(h.view.errors.empty()) << "the failed saves were reported";
    EXPECT_TRUE(h.view.questions.empty());
    EXPECT_EQ(Count(h.ReadFile(h.RouteFile()), ",0 "), kUpdates) << "every fix in the route";
    EXPECT_TRUE(h.ReadFile(h.AircraftFile()).ends_with("</kml>\r\n"));
    EXPECT_EQ(Temporaries(h.folder), std::vector<std::string>{});
    EXPECT_EQ(OpenDescriptors(), descriptors_before) << "after the close";
  }
  EXPECT_EQ(OpenDescriptors(), descriptors_before);
}

}  // namespace
}  // namespace quorvane
