#include "sources/xplane_source.h"

#include <algorithm>
#include <cmath>

#include "sources/xplane_packets.h"

namespace quorvane::sources {

namespace {

struct Subscription {
  std::int32_t index;
  const char* dataref;
};

// Sent after the position request, in batches of two: the version goes out with the position,
// so it is known by the time the rest of a reading is, and the two headings, which make the
// variation together, go out in one batch and come back in one reply.
constexpr Subscription kSubscriptions[] = {
    {XPlaneSource::kVersionIndex, "sim/version/xplane_internal_version"},
    {XPlaneSource::kTrueHeadingIndex, "sim/flightmodel/position/true_psi"},
    {XPlaneSource::kMagneticHeadingIndex, "sim/flightmodel/position/mag_psi"},
    {XPlaneSource::kGroundSpeedIndex, "sim/flightmodel/position/groundspeed"},
};

bool Within(double value, double low, double high) {
  return std::isfinite(value) && value >= low && value <= high;
}

// An angle in (-180, 180].
double Signed(double degrees) {
  double wrapped = std::fmod(degrees, 360.0);
  if (wrapped > 180.0) {
    wrapped -= 360.0;
  } else if (wrapped <= -180.0) {
    wrapped += 360.0;
  }
  return wrapped;
}

}  // namespace

std::string XPlaneVersionText(std::int32_t internal_version) {
  if (internal_version < 100000 || internal_version > 999999) {
    return {};
  }
  const int major = internal_version / 10000;
  const int minor = internal_version / 100 % 100;
  if (major >= 12) {
    return std::to_string(major) + "." + std::to_string(minor / 10) + "." +
           std::to_string(minor % 10);
  }
  return std::to_string(major) + "." + (minor < 10 ? "0" : "") + std::to_string(minor);
}

XPlaneSource::XPlaneSource(const net::Endpoint& xplane)
    : SimulatorSource(SenderFilter{xplane.address}), xplane_(xplane) {}

std::string XPlaneSource::Description() const {
  const std::string version = XPlaneVersionText(version_);
  return version.empty() ? std::string(Name()) : std::string(Name()) + " " + version;
}

void XPlaneSource::Receive(const net::Endpoint& sender, std::span<const std::uint8_t> bytes,
                           bool truncated, SourceTime now) {
  if (!FromSimulator(sender)) {
    return;
  }
  if (truncated) {
    Count(Verdict::Oversized, counts_);
    return;
  }
  const std::string_view kind = DatagramKind(bytes);
  if (kind == "RPOS") {
    TakePosition(bytes, now);
  } else if (kind == "RREF") {
    TakeValues(bytes, now);
  } else {
    Count(Verdict::WrongHeader, counts_);
  }
}

void XPlaneSource::TakePosition(std::span<const std::uint8_t> bytes, SourceTime now) {
  const RposPacket packet = DecodeRpos(bytes);
  Count(packet.verdict, counts_);
  if (packet.verdict != Verdict::Accepted) {
    return;
  }
  latitude_ = packet.latitude;
  longitude_ = packet.longitude;
  elevation_ = packet.elevation;
  height_above_ground_ = packet.height_above_ground;
  true_heading_ = packet.true_heading;
  position_at_ = now;
}

void XPlaneSource::TakeValues(std::span<const std::uint8_t> bytes, SourceTime now) {
  const RrefPacket packet = DecodeRref(bytes);
  if (packet.verdict != Verdict::Accepted) {
    Count(packet.verdict, counts_);
    return;
  }
  bool used = false;
  bool unknown = false;
  for (const RrefValue& pair : packet.values) {
    const double value = pair.value;
    bool usable = false;
    switch (pair.index) {
      case kTrueHeadingIndex:
        if ((usable = Within(value, -360.0, 360.0))) {
          true_psi_ = value;
          true_psi_at_ = now;
        }
        break;
      case kMagneticHeadingIndex:
        if ((usable = Within(value, -360.0, 360.0))) {
          magnetic_psi_ = value;
          magnetic_psi_at_ = now;
        }
        break;
      case kGroundSpeedIndex:
        if ((usable = Within(value, 0.0, 100000.0))) {
          ground_speed_ = value;
          ground_speed_at_ = now;
        }
        break;
      case kVersionIndex:
        // A float holds every six-digit number exactly.
        if ((usable = Within(value, 100000.0, 999999.0) && value == std::floor(value))) {
          version_ = static_cast<std::int32_t>(value);
        }
        break;
      default:
        unknown = true;
        break;
    }
    used |= usable;
    if (!usable) {
      ++counts_.ignored_values;
    }
  }
  Count(used ? Verdict::Accepted : unknown ? Verdict::UnknownIndex : Verdict::BadValue, counts_);
}

bool XPlaneSource::Quiet(SourceTime now) const {
  for (const auto& at : {position_at_, true_psi_at_, magnetic_psi_at_, ground_speed_at_}) {
    if (!at || now - *at > kResubscribeAfter) {
      return true;
    }
  }
  return false;
}

SendSchedule XPlaneSource::Due(SourceTime now) {
  SendSchedule schedule;
  const bool round_under_way = next_request_ < round_.size();
  if (!round_under_way && Quiet(now) &&
      (!round_started_ || now - *round_started_ >= kResubscribeAfter)) {
    round_.clear();
    round_.push_back(RposRequest(kPositionRate));
    for (const Subscription& subscription : kSubscriptions) {
      round_.push_back(RrefRequest(kValueRate, subscription.index, subscription.dataref));
    }
    next_request_ = 0;
    next_batch_at_ = now;
    round_started_ = now;
  }
  if (next_request_ < round_.size() && now >= next_batch_at_) {
    for (std::size_t sent = 0; sent < kBatchSize && next_request_ < round_.size(); ++sent) {
      schedule.datagrams.push_back({xplane_, round_[next_request_++]});
    }
    next_batch_at_ = now + kBatchPause;
  }
  if (next_request_ < round_.size()) {
    schedule.next = next_batch_at_;
  } else {
    // The next look: when a round may start again, or when the oldest value grows quiet.
    SourceTime quiet_at = *round_started_ + kResubscribeAfter;
    if (!Quiet(now)) {
      SourceTime oldest = *position_at_;
      for (const auto& at : {true_psi_at_, magnetic_psi_at_, ground_speed_at_}) {
        oldest = std::min(oldest, *at);
      }
      quiet_at = std::max(quiet_at, oldest + kResubscribeAfter + std::chrono::milliseconds(1));
    }
    // Never in the past, even when a batch was sent long after it fell due.
    schedule.next = std::max(quiet_at, now);
  }
  return schedule;
}

std::vector<OutgoingDatagram> XPlaneSource::Farewell() {
  std::vector<OutgoingDatagram> datagrams;
  if (!round_started_) {
    return datagrams;  // nothing was ever asked for
  }
  datagrams.push_back({xplane_, RposRequest(0)});
  for (const Subscription& subscription : kSubscriptions) {
    datagrams.push_back({xplane_, RrefRequest(0, subscription.index, subscription.dataref)});
  }
  round_.clear();
  next_request_ = 0;
  round_started_.reset();
  return datagrams;
}

std::optional<SourceReading> XPlaneSource::Current(SourceTime now) const {
  if (!Recent(position_at_, now) || !Recent(true_psi_at_, now) || !Recent(magnetic_psi_at_, now) ||
      !Recent(ground_speed_at_, now)) {
    return std::nullopt;
  }
  SourceReading reading;
  reading.latitude = latitude_;
  reading.longitude = longitude_;
  reading.altitude = elevation_;
  reading.true_heading = true_heading_;
  reading.magvar = Signed(true_psi_ - magnetic_psi_);
  reading.ground_speed = ground_speed_;
  reading.ground_altitude = elevation_ - height_above_ground_;
  return reading;
}

}  // namespace quorvane::sources
