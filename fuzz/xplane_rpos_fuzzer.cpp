// One datagram, any bytes, through X-Plane's position decoder. Accepted only at exactly 69
// bytes of kind "RPOS" with a usable position; refused for the first reason that holds; and an
// accepted position written out again as X-Plane would decodes to the very same values.

#include <cmath>
#include <cstring>
#include <string_view>

#include "fuzz/fuzz_target.h"
#include "sources/xplane_packets.h"
#include "tests/sources/xplane_datagrams.h"

namespace {

namespace src = quorvane::sources;

bool Within(double value, double low, double high) {
  return std::isfinite(value) && value >= low && value <= high;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> datagram(data, size);
  const src::RposPacket packet = src::DecodeRpos(datagram);
  const bool rpos = size >= 4 && std::memcmp(data, "RPOS", 4) == 0;

  if (!rpos) {
    FUZZ_CHECK(packet.verdict == src::Verdict::WrongHeader);
    return 0;
  }
  if (size < src::kRposSize) {
    FUZZ_CHECK(packet.verdict == src::Verdict::Truncated);
    return 0;
  }
  if (size > src::kRposSize) {
    FUZZ_CHECK(packet.verdict == src::Verdict::Oversized);
    return 0;
  }
  if (data[4] != '4' && data[4] != 0) {
    FUZZ_CHECK(packet.verdict == src::Verdict::WrongHeader);
    return 0;
  }
  if (packet.verdict != src::Verdict::Accepted) {
    FUZZ_CHECK(packet.verdict == src::Verdict::BadValue);
    return 0;
  }
  FUZZ_CHECK(Within(packet.latitude, -90.0, 90.0));
  FUZZ_CHECK(Within(packet.longitude, -180.0, 180.0));
  FUZZ_CHECK(Within(packet.elevation, -1e6, 1e6));
  FUZZ_CHECK(Within(packet.height_above_ground, -1e6, 1e6));
  FUZZ_CHECK(Within(packet.true_heading, -360.0, 360.0));

  const src::RposPacket again = src::DecodeRpos(quorvane::testing::RposDatagram(
      packet.latitude, packet.longitude, packet.elevation,
      static_cast<float>(packet.height_above_ground), static_cast<float>(packet.true_heading)));
  FUZZ_CHECK(again.verdict == src::Verdict::Accepted);
  FUZZ_CHECK(again.latitude == packet.latitude && again.longitude == packet.longitude);
  FUZZ_CHECK(again.elevation == packet.elevation);
  FUZZ_CHECK(again.height_above_ground == packet.height_above_ground);
  FUZZ_CHECK(again.true_heading == packet.true_heading);
  return 0;
}
