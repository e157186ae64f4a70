#include "simulator/simulator_core.h"

#include <cerrno>
#include <cstring>

#include "link/request_block.h"
#include "simulator/block_server.h"

namespace quorvane::sim {

std::string ExchangeLogLine(const std::uint8_t* block, std::uint32_t length) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string line = std::to_string(length);
  line.reserve(line.size() + 1 + 2 * std::size_t{length});
  line += ' ';
  for (std::uint32_t i = 0; i < length; ++i) {
    line += kHex[block[i] >> 4];
    line += kHex[block[i] & 0xF];
  }
  return line;
}

SimulatorCore::SimulatorCore(SimOptions options)
    : options_(std::move(options)), start_(Clock::now()) {
  Refresh(start_);
}

SimulatorCore::~SimulatorCore() {
  if (log_ != nullptr) {
    std::fclose(log_);
  }
}

bool SimulatorCore::OpenLog(std::string& error) {
  if (options_.log_path.empty()) {
    return true;
  }
  log_ = std::fopen(options_.log_path.c_str(), "a");
  if (log_ == nullptr) {
    error = "cannot open log \"" + options_.log_path + "\": " + std::strerror(errno);
    return false;
  }
  return true;
}

void SimulatorCore::Refresh(Clock::time_point now) {
  // The client's version is written inside the simulator word: keep what it wrote and
  // let the next reader still see the server's own words.
  if (exchanges_ != 0) {
    client_version_ = static_cast<std::uint16_t>(space_.Get(fsuipc::kClientVersion));
  }
  space_.Put(fsuipc::kServerVersion, options_.version);
  space_.Put(fsuipc::kSimulatorWord, options_.sim_word);
  if (options_.demo) {
    const double seconds = std::chrono::duration<double>(now - start_).count() * options_.rate;
    StoreAircraft(DemoFlightAt(seconds), space_);
  } else if (exchanges_ == 0) {
    // Fixed values are stored once, so that clients' writes to them stay.
    StoreAircraft(options_.aircraft, space_);
  }
  for (const Poke& poke : options_.pokes) {
    space_.Put(poke.offset, poke.size, poke.value);
  }
}

std::optional<std::uint32_t> SimulatorCore::Exchange(std::uint8_t* block, std::size_t block_size,
                                                     Clock::time_point now) {
  Refresh(now);
  ++exchanges_;
  if (log_ != nullptr) {
    // The block as it was received, before any read fills it.
    const ServedBlock received = MeasureBlock(block, block_size);
    std::fprintf(log_, "%s\n", ExchangeLogLine(block, received.length).c_str());
    std::fflush(log_);
  }
  // A hung server never performs the requests and never answers.
  if (options_.hang) {
    return std::nullopt;
  }
  ServeBlock(block, block_size, space_);
  const bool garbling =
      options_.garble || (options_.garble_after && exchanges_ > *options_.garble_after);
  if (garbling && block_size >= 12) {
    // What a broken or hostile server might send back: a size that no longer matches the
    // request and would carry a copy far past the block.
    block::StoreU32(block + 8, 0x7FFFFFFF);
  }
  return options_.reply;
}

bool SimulatorCore::Finished() const {
  return options_.exit_after.has_value() && exchanges_ >= *options_.exit_after;
}

}  // namespace quorvane::sim
