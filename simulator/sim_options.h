#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "simulator/aircraft_state.h"

namespace quorvane::sim {

// A raw little-endian integer stored at an offset, applied after every other value.
struct Poke {
  std::uint32_t offset = 0;
  std::uint32_t size = 0;  // 1 to 8 bytes
  std::uint64_t value = 0;
};

struct SimOptions {
  std::string class_name = "UIPCMAIN";
  std::uint32_t version = 0x36220002;   // word at 0x3304
  std::uint32_t sim_word = 0xFADE0008;  // word at 0x3308
  AircraftState aircraft;
  std::vector<Poke> pokes;
  bool demo = false;
  double rate = 1.0;
  std::uint32_t reply = 1;  // reply value of every exchange
  bool hang = false;
  bool garble = false;  // forge every reply: the first request's size runs past the block
  // Forge every reply after this many exchanges, answered well: a lie after a good connection.
  std::optional<std::uint64_t> garble_after;
  std::optional<std::uint64_t> exit_after;
  std::string log_path;
  std::string ready_file;
};

// Parses "OFFSET:SIZE:VALUE" (each decimal or 0x hexadecimal, VALUE may be a negative decimal).
// The offset and size must lie inside the 64 KiB space, SIZE is 1 to 8 and VALUE must fit.
std::optional<Poke> ParsePoke(const std::string& text);
// Parses a 32-bit word given in hexadecimal, with or without "0x".
std::optional<std::uint32_t> ParseHexWord(const std::string& text);

// Outcome of parsing the command line: either options to run with, or an exit status with the
// text to print (help on standard output, errors on standard error).
struct ParsedCommandLine {
  std::optional<SimOptions> options;
  int exit_status = 0;
  std::string output;
  std::string error;
};

ParsedCommandLine ParseSimCommandLine(int argc, const char* const* argv);

}  // namespace quorvane::sim
