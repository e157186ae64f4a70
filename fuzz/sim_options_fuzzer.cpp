// quorvane-sim's command line. The input is split at zero bytes into arguments; an argument of
// the single byte 0xF0 + i stands for the i-th option name, so that one changed byte swaps one
// option for another. Parsing must
// never crash or throw; options it accepts must be usable as they are (finite numbers, pokes
// inside the space that fit their size), and what it refuses must come with status 2 and a
// message. Each argument is also tried as a --poke and as a hexadecimal word: what is accepted
// must read back the same from its canonical decimal and hexadecimal texts.

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "simulator/offset_space.h"
#include "simulator/sim_options.h"

namespace {

namespace sim = quorvane::sim;

constexpr std::size_t kMaxArguments = 32;

// The options that take a value or are flags, by the byte that stands for them.
constexpr const char* kOptionNames[16] = {"--class", "--version", "--sim-word",   "--lat",
                                          "--lon",   "--heading", "--magvar",     "--speed",
                                          "--poke",  "--demo",    "--rate",       "--reply",
                                          "--hang",  "--log",     "--exit-after", "--ready-file"};

bool FitsSize(std::uint64_t value, std::uint32_t size) {
  return size == 8 || value >> (8 * size) == 0;
}

bool SamePoke(const std::optional<sim::Poke>& poke, const sim::Poke& expected) {
  return poke && poke->offset == expected.offset && poke->size == expected.size &&
         poke->value == expected.value;
}

void CheckPoke(const std::string& text) {
  const auto poke = sim::ParsePoke(text);
  if (!poke) {
    return;
  }
  FUZZ_CHECK(poke->size >= 1 && poke->size <= 8);
  FUZZ_CHECK(std::uint64_t{poke->offset} + poke->size <= sim::OffsetSpace::kSize);
  FUZZ_CHECK(FitsSize(poke->value, poke->size));
  char canonical[96];
  std::snprintf(canonical, sizeof canonical, "%" PRIu32 ":%" PRIu32 ":%" PRIu64, poke->offset,
                poke->size, poke->value);
  FUZZ_CHECK(SamePoke(sim::ParsePoke(canonical), *poke));
  std::snprintf(canonical, sizeof canonical, "0x%" PRIX32 ":0x%" PRIx32 ":0X%" PRIX64, poke->offset,
                poke->size, poke->value);
  FUZZ_CHECK(SamePoke(sim::ParsePoke(canonical), *poke));
  // A value with its top bit set is also the negative number of the same bits.
  const unsigned bits = 8 * poke->size;
  if ((poke->value >> (bits - 1)) != 0) {
    const std::uint64_t magnitude =
        bits == 64 ? ~poke->value + 1 : (std::uint64_t{1} << bits) - poke->value;
    std::snprintf(canonical, sizeof canonical, "%" PRIu32 ":%" PRIu32 ":-%" PRIu64, poke->offset,
                  poke->size, magnitude);
    FUZZ_CHECK(SamePoke(sim::ParsePoke(canonical), *poke));
  }
}

// Whether text is 0x/0X (optional) and hexadecimal digits naming a value below 2^32.
bool IsHexWord(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  }
  if (text.empty()) {
    return false;
  }
  std::uint64_t value = 0;
  for (char c : text) {
    const bool digit = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!digit) {
      return false;
    }
    value = value * 16 + static_cast<std::uint64_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    if (value > 0xFFFFFFFF) {
      return false;
    }
  }
  return true;
}

void CheckHexWord(const std::string& text) {
  const auto word = sim::ParseHexWord(text);
  FUZZ_CHECK(word.has_value() == IsHexWord(text));
  if (word) {
    char canonical[32];
    std::snprintf(canonical, sizeof canonical, "%" PRIX32, *word);
    FUZZ_CHECK(sim::ParseHexWord(canonical) == word);
    std::snprintf(canonical, sizeof canonical, "0x%08" PRIx32, *word);
    FUZZ_CHECK(sim::ParseHexWord(canonical) == word);
  }
}

void CheckOptions(const sim::ParsedCommandLine& parsed) {
  if (!parsed.options) {
    // Refused with a message, or help and version text with status 0.
    FUZZ_CHECK((parsed.exit_status == 2 && !parsed.error.empty()) ||
               (parsed.exit_status == 0 && !parsed.output.empty()));
    return;
  }
  FUZZ_CHECK(parsed.exit_status == 0 && parsed.error.empty());
  const sim::SimOptions& options = *parsed.options;
  const sim::AircraftState& a = options.aircraft;
  for (double value : {a.latitude, a.longitude, a.heading, a.magvar, a.speed, a.altitude}) {
    FUZZ_CHECK(std::isfinite(value));
  }
  FUZZ_CHECK(std::isfinite(options.rate) && options.rate > 0);
  for (const sim::Poke& poke : options.pokes) {
    FUZZ_CHECK(poke.size >= 1 && poke.size <= 8);
    FUZZ_CHECK(std::uint64_t{poke.offset} + poke.size <= sim::OffsetSpace::kSize);
    FUZZ_CHECK(FitsSize(poke.value, poke.size));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments = {"quorvane-sim"};
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  while (!rest.empty() && arguments.size() < kMaxArguments) {
    const auto end = rest.find('\0');
    const std::string_view argument = rest.substr(0, end);
    const auto byte = argument.size() == 1 ? static_cast<unsigned char>(argument[0]) : 0u;
    arguments.emplace_back(byte >= 0xF0 ? std::string_view(kOptionNames[byte - 0xF0]) : argument);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) {
    argv.push_back(argument.c_str());
  }
  argv.push_back(nullptr);

  CheckOptions(sim::ParseSimCommandLine(static_cast<int>(arguments.size()), argv.data()));
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    CheckPoke(arguments[i]);
    CheckHexWord(arguments[i]);
  }
  return 0;
}
