#pragma once

// A desktop of the test's own for running the real program off-screen: a Documents folder named
// in user-dirs.dirs, a stand-in xdg-open that records what it was asked to open and where, a
// private socket folder for quorvane-sim, and a working folder for the settings file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/sim_process.h"

namespace quorvane::testing {

namespace fs = std::filesystem;

inline std::string Read(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// True when text is a whole KML or GPX file as the program writes it.
inline bool Whole(const std::string& text) {
  return text.rfind("<?xml", 0) == 0 &&
         (text.ends_with("</kml>\r\n") || text.ends_with("</gpx>\r\n"));
}

inline int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

class ProgramDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    root = runtime.path();
    documents = root / "Documents";
    fs::create_directories(documents);
    fs::create_directories(root / "config");
    std::ofstream(root / "config" / "user-dirs.dirs")
        << "# written by the test\nXDG_DOCUMENTS_DIR=\"" << documents.string() << "\"\n";
    fs::create_directories(root / "bin");
    const fs::path opener = root / "bin" / "xdg-open";
    std::ofstream(opener) << "#!/bin/sh\necho \"$PWD|$*\" >> '" << (root / "opened").string()
                          << "'\n";
    fs::permissions(opener, fs::perms::owner_all);
    fs::create_directories(root / "work");

    ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    ::setenv("PATH", ((root / "bin").string() + ":" + std::getenv("PATH")).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::setenv("LSAN_OPTIONS", "suppressions=" QUORVANE_LSAN_SUPPRESSIONS, 1);
  }

  // Updates every `seconds` from the start, through the stored settings.
  void SetInterval(int seconds) {
    std::ofstream(root / "work" / "quorvane.INI", std::ios::binary)
        << "[TForm1]\r\nRxSpinEdit1_Value=" << seconds << "\r\n";
  }

  std::unique_ptr<ChildProcess> StartProgram() {
    return std::make_unique<ChildProcess>(QUORVANE_PROGRAM_PATH, std::vector<std::string>{},
                                          (root / "work").string());
  }

  fs::path Aircraft() const { return documents / "letadlo.kml"; }
  fs::path Route() const { return documents / "trasa.kml"; }

  PrivateRuntimeDir runtime;
  fs::path root;
  fs::path documents;
};

}  // namespace quorvane::testing
