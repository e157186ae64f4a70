// Reading a text file as lines, for the helpers of every platform.

#include <fstream>

#include "tests/support/sim_process.h"

namespace quorvane::testing {

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream file(path);
  for (std::string line; std::getline(file, line);) {
    lines.push_back(line);
  }
  return lines;
}

}  // namespace quorvane::testing
