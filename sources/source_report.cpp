#include "sources/source_report.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace quorvane::sources {

std::string SourceReportLine(const SourceStatus& source) {
  std::string line = source.where + ": ";
  if (!source.problem.empty()) {
    return line + source.problem;
  }
  const DatagramCounts& counts = source.counts;
  if (counts.Received() == 0) {
    return line + "no datagram received";
  }
  line += std::to_string(counts.Received()) + " datagrams received, ";
  line += counts.accepted == 0 ? std::string("none") : std::to_string(counts.accepted);
  line += " taken";
  const std::vector<std::pair<std::uint64_t, const char*>> ignored = {
      {counts.wrong_sender, "from another address"},
      {counts.truncated, "too short"},
      {counts.oversized, "too long"},
      {counts.wrong_header, "of another kind"},
      {counts.bad_value, "with bad values"},
      {counts.unknown_index, "of unknown subscriptions"},
  };
  const char* separator = "; ignored: ";
  for (const auto& [count, reason] : ignored) {
    if (count != 0) {
      line += separator + std::to_string(count) + " " + reason;
      separator = ", ";
    }
  }
  return line;
}

}  // namespace quorvane::sources
