#include "sources/xplane_packets.h"

#include <cmath>
#include <cstring>
#include <string>

namespace quorvane::sources {

namespace {

constexpr std::size_t kHeaderSize = 5;

void StoreI32(std::uint8_t* at, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) {
    at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
  }
}

std::uint32_t LoadU32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

float LoadFloat(const std::uint8_t* at) {
  const std::uint32_t bits = LoadU32(at);
  float value = 0.0f;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

double LoadDouble(const std::uint8_t* at) {
  const std::uint64_t bits = LoadU32(at) | static_cast<std::uint64_t>(LoadU32(at + 4)) << 32;
  double value = 0.0;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

bool Within(double value, double low, double high) {
  return std::isfinite(value) && value >= low && value <= high;
}

bool HasHeader(std::span<const std::uint8_t> datagram, std::string_view kind,
               std::string_view fifth_bytes) {
  return DatagramKind(datagram) == kind && datagram.size() >= kHeaderSize &&
         fifth_bytes.find(static_cast<char>(datagram[4])) != std::string_view::npos;
}

}  // namespace

std::vector<std::uint8_t> RposRequest(int rate) {
  const std::string text =
      std::string("RPOS", 4) + '\0' + std::to_string(rate < 0 ? 0 : rate) + '\0';
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> RrefRequest(int rate, std::int32_t index, std::string_view dataref) {
  std::vector<std::uint8_t> out(kRrefRequestSize, 0);
  std::memcpy(out.data(), "RREF", 4);
  StoreI32(&out[5], rate < 0 ? 0 : rate);
  StoreI32(&out[9], index);
  const std::size_t name_size =
      dataref.size() < kDatarefNameSize ? dataref.size() : kDatarefNameSize - 1;
  if (name_size != 0) {
    std::memcpy(&out[13], dataref.data(), name_size);
  }
  return out;
}

std::string_view DatagramKind(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < 4) {
    return {};
  }
  return std::string_view(reinterpret_cast<const char*>(datagram.data()), 4);
}

RposPacket DecodeRpos(std::span<const std::uint8_t> datagram) {
  RposPacket packet;
  if (DatagramKind(datagram) != "RPOS") {
    packet.verdict = Verdict::WrongHeader;
    return packet;
  }
  if (datagram.size() < kRposSize) {
    packet.verdict = Verdict::Truncated;
    return packet;
  }
  if (datagram.size() > kRposSize) {
    packet.verdict = Verdict::Oversized;
    return packet;
  }
  // X-Plane 11 and 12 send "RPOS4"; their documentation says "RPOS\0".
  if (!HasHeader(datagram, "RPOS", std::string_view("4\0", 2))) {
    packet.verdict = Verdict::WrongHeader;
    return packet;
  }
  const std::uint8_t* at = datagram.data() + kHeaderSize;
  packet.longitude = LoadDouble(at);
  packet.latitude = LoadDouble(at + 8);
  packet.elevation = LoadDouble(at + 16);
  packet.height_above_ground = LoadFloat(at + 24);
  packet.true_heading = LoadFloat(at + 32);  // after the pitch
  const bool usable =
      Within(packet.latitude, -90.0, 90.0) && Within(packet.longitude, -180.0, 180.0) &&
      Within(packet.elevation, -1e6, 1e6) && Within(packet.height_above_ground, -1e6, 1e6) &&
      Within(packet.true_heading, -360.0, 360.0);
  packet.verdict = usable ? Verdict::Accepted : Verdict::BadValue;
  return packet;
}

RrefPacket DecodeRref(std::span<const std::uint8_t> datagram) {
  RrefPacket packet;
  if (DatagramKind(datagram) == "RREF" && datagram.size() <= kHeaderSize) {
    packet.verdict = Verdict::Truncated;
    return packet;
  }
  if (!HasHeader(datagram, "RREF", std::string_view(",\0", 2))) {
    packet.verdict = Verdict::WrongHeader;
    return packet;
  }
  const std::size_t body = datagram.size() - kHeaderSize;
  if (body % 8 != 0) {
    packet.verdict = Verdict::Truncated;
    return packet;
  }
  if (body / 8 > kRrefMaxPairs) {
    packet.verdict = Verdict::Oversized;
    return packet;
  }
  packet.values.reserve(body / 8);
  for (std::size_t at = kHeaderSize; at < datagram.size(); at += 8) {
    packet.values.push_back(
        {static_cast<std::int32_t>(LoadU32(&datagram[at])), LoadFloat(&datagram[at + 4])});
  }
  packet.verdict = Verdict::Accepted;
  return packet;
}

}  // namespace quorvane::sources
