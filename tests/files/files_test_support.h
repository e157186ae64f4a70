#pragma once

// Helpers for every suite that writes files: a scratch folder, whole-file reads, and file
// operations that fail on request.

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <set>
#include <string>

#include "files/file_system.h"

namespace quorvane::testing {

// A new, empty folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // The folder as the 8-bit text the documents are given.
  std::string Text() const { return path_.string(); }
  // The names of the entries in the folder.
  std::set<std::string> Entries() const;

 private:
  std::filesystem::path path_;
};

// The whole content of a file, byte for byte; fails the test when it cannot be read.
std::string ReadBytes(const std::filesystem::path& path);
// Writes bytes as the whole content of a file.
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// The platform's real file operations, except that one step fails for targets whose path ends
// with target_suffix. A failed Write first writes half of its bytes, as a full disk would; a
// failed Close still closes.
class FailingFileSystem final : public FileSystem {
 public:
  enum class Step { kNone, kCreate, kWrite, kSync, kClose, kReplace };
  // Every step of writing a file that can fail, in the order they are taken.
  static constexpr Step kFailingSteps[] = {Step::kCreate, Step::kWrite, Step::kSync, Step::kClose,
                                           Step::kReplace};

  static constexpr const char* kWhy = "Disk quota exceeded (injected)";

  // The step's name, for test names and messages.
  friend void PrintTo(Step step, std::ostream* out) { *out << StepName(step); }
  static const char* StepName(Step step);

  explicit FailingFileSystem(Step fail_at, std::string target_suffix = "")
      : fail_at_(fail_at), target_suffix_(std::move(target_suffix)) {}

  bool CreateTemporary(const std::string& target, std::string& temp_path, Handle& file,
                       std::string& why) override;
  bool Write(Handle file, std::string_view bytes, std::string& why) override;
  bool Sync(Handle file, std::string& why) override;
  bool Close(Handle file, std::string& why) override;
  bool Replace(const std::string& from, const std::string& to, std::string& why) override;
  void Remove(const std::string& path) override;
  // The rest as the platform does them.
  ReadResult ReadWhole(const std::string& path, std::size_t max_bytes, std::string& bytes,
                       std::string& why) override;
  std::optional<std::chrono::system_clock::time_point> LastWriteTime(
      const std::string& path) override;
  bool CreateFolder(const std::string& path, std::string& why) override;
  bool RenameNew(const std::string& from, const std::string& to, std::string& why) override;
  int RemoveAbandonedTemporaries(const std::string& target) override;

 private:
  bool Fails(Step step) const { return armed_ && fail_at_ == step; }

  Step fail_at_;
  std::string target_suffix_;
  bool armed_ = false;  // the file being saved is one that should fail
};

// This process's id, and the id of a process that ran and has ended (a child that exited and was
// waited for), as the names of temporary files hold them.
unsigned long OwnProcessId();
unsigned long EndedProcessId();

// The name of a parameterized case for the step that fails, for INSTANTIATE_TEST_SUITE_P.
inline std::string StepCaseName(const ::testing::TestParamInfo<FailingFileSystem::Step>& info) {
  return FailingFileSystem::StepName(info.param);
}

}  // namespace quorvane::testing
