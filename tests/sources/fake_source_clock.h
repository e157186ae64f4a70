#pragma once

#include <atomic>
#include <chrono>

#include "sources/source_host.h"

namespace quorvane::testing {

// A clock that moves only when the test says; safe to read from the hosts' threads.
class FakeSourceClock final : public sources::SourceClock {
 public:
  sources::SourceTime Now() override {
    return sources::SourceTime(std::chrono::milliseconds(kStartMs + elapsed_ms_.load()));
  }
  void Advance(std::chrono::milliseconds by) { elapsed_ms_ += by.count(); }

 private:
  static constexpr long long kStartMs = 3600000;
  std::atomic<long long> elapsed_ms_{0};
};

}  // namespace quorvane::testing
