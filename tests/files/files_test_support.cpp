#include "tests/files/files_test_support.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "files/platform_files.h"

namespace quorvane::testing {

TempFolder::TempFolder() {
  std::random_device random;
  for (;;) {
    path_ = std::filesystem::temp_directory_path() /
            ("quorvane-files-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(path_)) {
      break;
    }
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::set<std::string> TempFolder::Entries() const {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << "cannot read " << path;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

const char* FailingFileSystem::StepName(Step step) {
  static const char* const kNames[] = {"None", "Create", "Write", "Sync", "Close", "Replace"};
  return kNames[static_cast<int>(step)];
}

bool FailingFileSystem::CreateTemporary(const std::string& target, std::string& temp_path,
                                        Handle& file, std::string& why) {
  armed_ =
      target.size() >= target_suffix_.size() &&
      target.compare(target.size() - target_suffix_.size(), std::string::npos, target_suffix_) == 0;
  if (Fails(Step::kCreate)) {
    why = kWhy;
    return false;
  }
  return PlatformFileSystem().CreateTemporary(target, temp_path, file, why);
}

bool FailingFileSystem::Write(Handle file, std::string_view bytes, std::string& why) {
  if (Fails(Step::kWrite)) {
    PlatformFileSystem().Write(file, bytes.substr(0, bytes.size() / 2), why);
    why = kWhy;
    return false;
  }
  return PlatformFileSystem().Write(file, bytes, why);
}

bool FailingFileSystem::Sync(Handle file, std::string& why) {
  if (Fails(Step::kSync)) {
    why = kWhy;
    return false;
  }
  return PlatformFileSystem().Sync(file, why);
}

bool FailingFileSystem::Close(Handle file, std::string& why) {
  const bool closed = PlatformFileSystem().Close(file, why);
  if (Fails(Step::kClose)) {
    why = kWhy;
    return false;
  }
  return closed;
}

bool FailingFileSystem::Replace(const std::string& from, const std::string& to, std::string& why) {
  if (Fails(Step::kReplace)) {
    why = kWhy;
    return false;
  }
  return PlatformFileSystem().Replace(from, to, why);
}

void FailingFileSystem::Remove(const std::string& path) {
  PlatformFileSystem().Remove(path);
}

FileSystem::ReadResult FailingFileSystem::ReadWhole(const std::string& path, std::size_t max_bytes,
                                                    std::string& bytes, std::string& why) {
  return PlatformFileSystem().ReadWhole(path, max_bytes, bytes, why);
}

std::optional<std::chrono::system_clock::time_point> FailingFileSystem::LastWriteTime(
    const std::string& path) {
  return PlatformFileSystem().LastWriteTime(path);
}

bool FailingFileSystem::CreateFolder(const std::string& path, std::string& why) {
  return PlatformFileSystem().CreateFolder(path, why);
}

bool FailingFileSystem::RenameNew(const std::string& from, const std::string& to,
                                  std::string& why) {
  return PlatformFileSystem().RenameNew(from, to, why);
}

int FailingFileSystem::RemoveAbandonedTemporaries(const std::string& target) {
  return PlatformFileSystem().RemoveAbandonedTemporaries(target);
}

}  // namespace quorvane::testing
