#pragma once

// Helpers shared by the KML suites: the expected files, and the files layer's test helpers.

#include <string>

#include "tests/files/files_test_support.h"

namespace quorvane::testing {

// An expected file of tests/data/kml.
std::string ExpectedDocument(const std::string& name);

}  // namespace quorvane::testing
