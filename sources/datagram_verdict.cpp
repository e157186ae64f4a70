#include "sources/datagram_verdict.h"

namespace quorvane::sources {

void Count(Verdict verdict, DatagramCounts& counts) {
  switch (verdict) {
    case Verdict::Accepted:
      ++counts.accepted;
      return;
    case Verdict::Truncated:
      ++counts.truncated;
      return;
    case Verdict::Oversized:
      ++counts.oversized;
      return;
    case Verdict::WrongHeader:
      ++counts.wrong_header;
      return;
    case Verdict::BadValue:
      ++counts.bad_value;
      return;
    case Verdict::UnknownIndex:
      ++counts.unknown_index;
      return;
  }
}

}  // namespace quorvane::sources
