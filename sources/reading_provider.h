#pragma once

#include <optional>

#include "sources/source_reading.h"

namespace quorvane::sources {

// Where a hosted server takes the aircraft from: a simulator's latest reading while current.
class ReadingProvider {
 public:
  virtual ~ReadingProvider() = default;
  // The latest reading, or nothing when the simulator has stopped sending.
  virtual std::optional<SourceReading> Current() const = 0;
};

}  // namespace quorvane::sources
