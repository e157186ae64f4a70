#include "simulator/sim_options.h"

#include <CLI/CLI.hpp>
#include <cmath>
#include <sstream>

#include "app/program_version.h"
#include "text/number_text.h"

namespace quorvane::sim {

namespace {

// Decimal, or hexadecimal after "0x"/"0X"; the whole text must be the number.
std::optional<std::uint64_t> ParseUnsigned(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  return ParseWhole<std::uint64_t>(text, base);
}

}  // namespace

std::optional<std::uint32_t> ParseHexWord(const std::string& text) {
  std::string_view digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
  }
  return ParseWhole<std::uint32_t>(digits, 16);
}

std::optional<Poke> ParsePoke(const std::string& text) {
  const auto first = text.find(':');
  const auto second = first == std::string::npos ? first : text.find(':', first + 1);
  if (second == std::string::npos) {
    return std::nullopt;
  }
  const auto offset = ParseUnsigned(std::string_view(text).substr(0, first));
  const auto size = ParseUnsigned(std::string_view(text).substr(first + 1, second - first - 1));
  if (!offset || !size || *size < 1 || *size > 8 || *offset >= OffsetSpace::kSize ||
      *offset + *size > OffsetSpace::kSize) {
    return std::nullopt;
  }
  std::string_view value_text = std::string_view(text).substr(second + 1);
  const unsigned bits = static_cast<unsigned>(*size) * 8;
  std::uint64_t value = 0;
  if (!value_text.empty() && value_text[0] == '-') {
    const auto negative = ParseWhole<std::int64_t>(value_text);
    const std::int64_t lowest = bits == 64 ? INT64_MIN : -(std::int64_t{1} << (bits - 1));
    if (!negative || *negative < lowest) {
      return std::nullopt;
    }
    value = static_cast<std::uint64_t>(*negative);
    if (bits < 64) {
      value &= (std::uint64_t{1} << bits) - 1;
    }
  } else {
    const auto parsed = ParseUnsigned(value_text);
    if (!parsed || (bits < 64 && *parsed >> bits != 0)) {
      return std::nullopt;
    }
    value = *parsed;
  }
  return Poke{static_cast<std::uint32_t>(*offset), static_cast<std::uint32_t>(*size), value};
}

ParsedCommandLine ParseSimCommandLine(int argc, const char* const* argv) {
  SimOptions options;
  CLI::App app{
      "quorvane-sim: a stand-in FSUIPC server for testing and demonstrating Quorvane.\n"
      "Answers the link's requests from a 64 KiB offset space until it is killed."};
  // --version sets the server's version word, as FSUIPC names it; the program's own is --about.
  app.set_version_flag("--about", std::string("quorvane-sim ") + ProgramVersion(),
                       "print the program's version and exit");
  std::string version_text;
  std::string sim_word_text;
  std::vector<std::string> poke_texts;
  std::uint64_t exit_after = 0;
  std::uint64_t garble_after = 0;

  app.add_option("--class", options.class_name, "window class to answer as")->capture_default_str();
  app.add_option("--version", version_text, "server version word at 0x3304 (hex, 36220002)");
  app.add_option("--sim-word", sim_word_text, "simulator word at 0x3308 (hex, FADE0008)");
  app.add_option("--lat", options.aircraft.latitude, "latitude, degrees north (0x0560)");
  app.add_option("--lon", options.aircraft.longitude, "longitude, degrees east (0x0568)");
  app.add_option("--heading", options.aircraft.heading, "true heading, degrees (0x0580)");
  app.add_option("--magvar", options.aircraft.magvar, "magnetic variation, degrees east (0x02A0)");
  app.add_option("--speed", options.aircraft.speed, "ground speed, metres per second (0x02B4)");
  app.add_option("--alt", options.aircraft.altitude,
                 "altitude above mean sea level, in METRES, not feet (0x0570)");
  app.add_option("--poke", poke_texts, "OFFSET:SIZE:VALUE raw little-endian integer, applied last")
      ->take_all();
  app.add_flag("--demo", options.demo, "fly an animated circuit in real time");
  app.add_option("--rate", options.rate, "speed-up of the demo flight")->check(CLI::PositiveNumber);
  app.add_option("--reply", options.reply, "answer every exchange with this reply value");
  app.add_flag("--hang", options.hang, "never answer an exchange");
  app.add_flag("--garble", options.garble,
               "forge every reply: the first request's size is changed to run past the block");
  auto* garble_after_option =
      app.add_option("--garble-after", garble_after,
                     "answer this many exchanges well, then forge every reply as --garble does");
  auto* exit_option = app.add_option("--exit-after", exit_after, "exit after this many exchanges");
  app.add_option("--log", options.log_path, "append one line per exchange to this file");
  app.add_option("--ready-file", options.ready_file, "create this file once listening");
  app.footer(
      "The aircraft is stored in FSUIPC's own units, as the real FSUIPC keeps it (little-endian):\n"
      "  0x0020  4 bytes  the ground's altitude, metres * 256 (signed)\n"
      "  0x02A0  2 bytes  magnetic variation, degrees * 65536 / 360\n"
      "  0x02B4  4 bytes  ground speed, metres per second * 65536\n"
      "  0x0560  8 bytes  latitude, degrees * 10001750 * 2^32 / 90 (signed)\n"
      "  0x0568  8 bytes  longitude, degrees * 2^64 / 360 (signed)\n"
      "  0x0570  8 bytes  altitude, metres * 2^32 (signed)\n"
      "  0x0580  4 bytes  true heading, degrees * 2^32 / 360\n"
      "Quorvane shows the heading as the word / 11956290 less the variation, as it shows the\n"
      "real FSUIPC's: --heading 90 shows as 89.81.");

  ParsedCommandLine parsed;
  std::ostringstream out;
  std::ostringstream err;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    parsed.exit_status = app.exit(error, out, err);
    if (parsed.exit_status != 0) {
      parsed.exit_status = 2;
    }
    parsed.output = out.str();
    parsed.error = err.str();
    return parsed;
  }

  auto fail = [&parsed](const std::string& message) {
    parsed.exit_status = 2;
    parsed.error = "quorvane-sim: " + message + "\n";
    return parsed;
  };
  if (!version_text.empty()) {
    const auto word = ParseHexWord(version_text);
    if (!word) {
      return fail("--version needs a hexadecimal word, not \"" + version_text + "\"");
    }
    options.version = *word;
  }
  if (!sim_word_text.empty()) {
    const auto word = ParseHexWord(sim_word_text);
    if (!word) {
      return fail("--sim-word needs a hexadecimal word, not \"" + sim_word_text + "\"");
    }
    options.sim_word = *word;
  }
  for (const std::string& text : poke_texts) {
    const auto poke = ParsePoke(text);
    if (!poke) {
      return fail("--poke needs OFFSET:SIZE:VALUE inside the 64 KiB space, not \"" + text + "\"");
    }
    options.pokes.push_back(*poke);
  }
  const AircraftState& a = options.aircraft;
  for (double value : {a.latitude, a.longitude, a.heading, a.magvar, a.speed, a.altitude}) {
    if (!std::isfinite(value)) {
      return fail("aircraft values must be finite numbers");
    }
  }
  // CLI::PositiveNumber lets NaN through: no comparison with it is true.
  if (!std::isfinite(options.rate)) {
    return fail("--rate needs a positive number");
  }
  if (exit_option->count() > 0) {
    options.exit_after = exit_after;
  }
  if (garble_after_option->count() > 0) {
    options.garble_after = garble_after;
  }
  parsed.options = options;
  return parsed;
}

}  // namespace quorvane::sim
