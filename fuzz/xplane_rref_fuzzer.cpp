// A run of datagrams as X-Plane's UDP interface might send them: each a length byte (or two, for
// the long ones) and its bytes, and a byte of milliseconds since the last. Each goes through the
// subscription-reply decoder, which must take exactly whole pairs, 1 to 183 of them, after
// "RREF" and ',' or NUL; and all of them, in order, through an X-Plane source, whose reading
// must always be usable (finite, in range, the variation in (-180, 180]), whose counts must add
// up to the datagrams given, and whose subscriptions never go out more than two at a time.

#include <cmath>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "sources/xplane_packets.h"
#include "sources/xplane_source.h"

namespace {

namespace src = quorvane::sources;
using quorvane::fuzzing::FuzzInput;

bool Within(double value, double low, double high) {
  return std::isfinite(value) && value >= low && value <= high;
}

void CheckDecoded(const std::vector<std::uint8_t>& datagram) {
  const src::RrefPacket packet = src::DecodeRref(datagram);
  const std::size_t size = datagram.size();
  const bool rref = size >= 4 && std::memcmp(datagram.data(), "RREF", 4) == 0;
  if (packet.verdict != src::Verdict::Accepted) {
    FUZZ_CHECK(packet.values.empty());
    return;
  }
  FUZZ_CHECK(rref && size > 5 && (datagram[4] == ',' || datagram[4] == 0));
  FUZZ_CHECK((size - 5) % 8 == 0);
  FUZZ_CHECK(packet.values.size() == (size - 5) / 8);
  FUZZ_CHECK(packet.values.size() >= 1 && packet.values.size() <= src::kRrefMaxPairs);
  for (std::size_t i = 0; i < packet.values.size(); ++i) {
    std::int32_t index = 0;
    float value = 0.0f;
    std::memcpy(&index, &datagram[5 + 8 * i], 4);
    std::memcpy(&value, &datagram[9 + 8 * i], 4);
    FUZZ_CHECK(packet.values[i].index == index);
    FUZZ_CHECK(std::memcmp(&packet.values[i].value, &value, 4) == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const quorvane::net::Endpoint xplane{0x7F000001, 49000};
  src::XPlaneSource source(xplane);
  src::SourceTime now{std::chrono::hours(1)};
  std::uint64_t datagrams = 0;
  while (!in.Empty()) {
    const std::uint8_t shape = in.Byte();
    const std::size_t length = (shape & 0x80) != 0 ? in.U16() % 2048 : shape;
    const std::string bytes = in.Bytes(length);
    const std::vector<std::uint8_t> datagram(bytes.begin(), bytes.end());
    now += std::chrono::milliseconds(in.Byte() * 16);
    CheckDecoded(datagram);

    const src::SendSchedule schedule = source.Due(now);
    FUZZ_CHECK(schedule.datagrams.size() <= src::XPlaneSource::kBatchSize);
    FUZZ_CHECK(schedule.next.has_value() && *schedule.next >= now);
    source.Receive(xplane, datagram, false, now);
    ++datagrams;
    FUZZ_CHECK(source.Counts().Received() == datagrams);

    if (const auto reading = source.Current(now)) {
      FUZZ_CHECK(Within(reading->latitude, -90.0, 90.0));
      FUZZ_CHECK(Within(reading->longitude, -180.0, 180.0));
      FUZZ_CHECK(Within(reading->true_heading, -360.0, 360.0));
      FUZZ_CHECK(Within(reading->magvar, -180.0, 180.0) && reading->magvar > -180.0);
      FUZZ_CHECK(Within(reading->ground_speed, 0.0, 1e5));
      FUZZ_CHECK(reading->ground_altitude.has_value() && std::isfinite(*reading->ground_altitude));
    }
  }
  return 0;
}
