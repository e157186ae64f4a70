#include "sources/simulator_source.h"

namespace quorvane::sources {

bool SimulatorSource::FromSimulator(const net::Endpoint& sender) {
  if (filter_.Accepts(sender)) {
    return true;
  }
  ++counts_.wrong_sender;
  return false;
}

bool Recent(const std::optional<SourceTime>& at, SourceTime now) {
  return at.has_value() && now - *at <= kSilenceLimit;
}

}  // namespace quorvane::sources
