#include "tests/kml/kml_test_support.h"

namespace quorvane::testing {

std::string ExpectedDocument(const std::string& name) {
  return ReadBytes(std::filesystem::path(QUORVANE_TEST_DATA_DIR) / "kml" / name);
}

}  // namespace quorvane::testing
