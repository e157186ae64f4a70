#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sources/simulator_source.h"

namespace quorvane::sources {

// X-Plane 11 and 12 through their built-in UDP interface, nothing installed in X-Plane: the
// position (doubles, so a longitude keeps its precision) from RPOS, the true and magnetic
// heading, the ground speed and the version from RREF subscriptions. The magnetic variation is
// the true heading less the magnetic one, so its sign is X-Plane's own definition of both.
//
// Subscriptions are sent in small batches, a short pause apart (X-Plane may drop some of many
// sent at once), and sent again whenever X-Plane has been quiet for kResubscribeAfter (it may
// have been started after us, or restarted: a new X-Plane knows no subscriptions). Closing ends
// them.
class XPlaneSource final : public SimulatorSource {
 public:
  static constexpr int kPositionRate = 10;  // RPOS datagrams a second
  static constexpr int kValueRate = 5;      // RREF datagrams a second
  static constexpr std::size_t kBatchSize = 2;
  static constexpr std::chrono::milliseconds kBatchPause{50};
  static constexpr std::chrono::milliseconds kResubscribeAfter{2000};

  // The subscribed datarefs, by the index X-Plane tags their values with.
  enum Index : std::int32_t {
    kTrueHeadingIndex = 1,
    kMagneticHeadingIndex = 2,
    kGroundSpeedIndex = 3,
    kVersionIndex = 4,
  };

  // Talks to X-Plane at xplane; takes datagrams only from its address.
  explicit XPlaneSource(const net::Endpoint& xplane);

  const char* Name() const override { return "X-Plane"; }
  // "X-Plane 12.1.0" once X-Plane sent its version, else "X-Plane".
  std::string Description() const override;
  void Receive(const net::Endpoint& sender, std::span<const std::uint8_t> bytes, bool truncated,
               SourceTime now) override;
  SendSchedule Due(SourceTime now) override;
  std::vector<OutgoingDatagram> Farewell() override;
  std::optional<SourceReading> Current(SourceTime now) const override;

 private:
  void TakePosition(std::span<const std::uint8_t> bytes, SourceTime now);
  void TakeValues(std::span<const std::uint8_t> bytes, SourceTime now);
  bool Quiet(SourceTime now) const;

  net::Endpoint xplane_;
  // The subscription round under way: the requests, the next one to send and when.
  std::vector<std::vector<std::uint8_t>> round_;
  std::size_t next_request_ = 0;
  SourceTime next_batch_at_{};
  std::optional<SourceTime> round_started_;

  // What X-Plane sent, and when.
  double latitude_ = 0.0;
  double longitude_ = 0.0;
  double elevation_ = 0.0;
  double height_above_ground_ = 0.0;
  double true_heading_ = 0.0;  // from the position
  double true_psi_ = 0.0;      // from the subscriptions, for the variation
  double magnetic_psi_ = 0.0;
  double ground_speed_ = 0.0;
  std::optional<SourceTime> position_at_;
  std::optional<SourceTime> true_psi_at_;
  std::optional<SourceTime> magnetic_psi_at_;
  std::optional<SourceTime> ground_speed_at_;
  std::int32_t version_ = 0;  // X-Plane's internal version number, 0 when not known
};

// The version text of X-Plane's internal version number: 121000 gives "12.1.0" (from X-Plane 12
// on, the two minor digits are two parts of the version), 115500 gives "11.55". Numbers outside
// 100000 to 999999 give nothing.
std::string XPlaneVersionText(std::int32_t internal_version);

}  // namespace quorvane::sources
