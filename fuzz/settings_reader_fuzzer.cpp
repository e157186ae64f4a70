// The settings-file reader and the texts the store reads from it. The input is a settings
// file's text, then (after a zero byte) a list of operations: reads, writes, and the
// conversions of stored texts. Checked:
// - any text parses, and writing it out and reading it again changes no value;
// - a value written (with the store's quoting rule) reads back as written, before and after the
//   file is written out, and no other entry changes;
// - integers, floating values and booleans are accepted exactly when their text is one, with
//   the value the text names; a floating value's text reads back as the same number.

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings/form_storage.h"
#include "app/settings/ini_file.h"
#include "app/settings/stored_property.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"

namespace {

using quorvane::IniText;
using quorvane::fuzzing::FuzzInput;

constexpr int kMaxOperations = 24;
constexpr std::size_t kProbes = 4;

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) {
      return false;
    }
  }
  return true;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

// No line break, no blank at either end: what a profile entry can hold unchanged.
bool IsPlainText(std::string_view text) {
  return text.find('\n') == std::string_view::npos &&
         (text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back())));
}

// A section name that reads back: plain, and no "]" (which would end the name early).
bool IsSectionName(std::string_view name) {
  return IsPlainText(name) && name.find(']') == std::string_view::npos;
}

// A key that reads back: plain, not empty, no "=", and not starting like a comment or a section.
bool IsKeyName(std::string_view key) {
  return IsPlainText(key) && !key.empty() && key.find('=') == std::string_view::npos &&
         key.front() != ';' && key.front() != '[';
}

// What the store writes for a value: one with an enclosing pair of quotes of its own gets
// another pair, because reading strips one (TFormPlacement::WriteString).
std::string StoreQuoted(const std::string& value) {
  const bool enclosed = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
  return enclosed ? "\"" + value + "\"" : value;
}

// Names to read and write: those the store uses, and the sections and keys of the text.
std::vector<std::string> CandidateNames(std::string_view text) {
  std::vector<std::string> names = {"TForm1",    "FormVersion",       "NormPos",
                                    "MinMaxPos", "NormPos(800x600)",  "RxSpinEdit1_Value",
                                    "ShowCmd",   "CheckBox1_Checked", "Visible"};
  while (!text.empty() && names.size() < 64) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (const auto open = line.find('['); open != std::string_view::npos) {
      const auto close = line.find(']', open);
      names.emplace_back(
          line.substr(open + 1, close == std::string_view::npos ? 0 : close - open - 1));
    } else if (const auto equals = line.find('='); equals != std::string_view::npos) {
      names.emplace_back(line.substr(0, equals));
    }
  }
  return names;
}

std::string Name(FuzzInput& in, const std::vector<std::string>& candidates) {
  const std::uint8_t choice = in.Byte();
  if ((choice & 0x80) != 0) {
    return in.Bytes(choice & 0x1F);
  }
  return candidates[choice % candidates.size()];
}

std::string Value(FuzzInput& in) {
  const std::uint8_t length = in.Byte();
  // Now and then one near the profile functions' 2047-character limit.
  return length == 0xFF ? std::string(2040 + in.Byte() % 16, 'v') + in.Bytes(4)
                        : in.Bytes(length % 40);
}

// The value after the file has been written out whole and read again.
std::string ReadAfterSaving(const IniText& ini, const std::string& section, const std::string& key,
                            const std::string& default_value) {
  return IniText(ini.Text()).ReadString(section, key, default_value);
}

void Read(const IniText& ini, const std::string& section, const std::string& key) {
  const std::string fallback = "\x01missing";
  const std::string value = ini.ReadString(section, key, fallback);
  FUZZ_CHECK(value == fallback || value.size() <= IniText::kMaxValueLength);
  FUZZ_CHECK(ReadAfterSaving(ini, section, key, fallback) == value);
}

void Write(IniText& ini, FuzzInput& in, const std::vector<std::string>& candidates) {
  const std::string section = Name(in, candidates);
  const std::string key = Name(in, candidates);
  const std::string value = Value(in);
  struct Probe {
    std::string section, key, value;
  };
  std::vector<Probe> probes;
  for (std::size_t i = 0; i < kProbes; ++i) {
    Probe probe{Name(in, candidates), Name(in, candidates), {}};
    probe.value = ini.ReadString(probe.section, probe.key, "\x01missing");
    probes.push_back(probe);
  }
  if ((section + key + value).find('\n') != std::string::npos) {
    return;  // a line break splits the entry: the store never writes one
  }

  ini.WriteString(section, key, StoreQuoted(value));
  const std::string text = ini.Text();
  FUZZ_CHECK(IniText(text).Text() == text);
  if (!IsSectionName(section) || !IsKeyName(key) || !IsPlainText(value) ||
      value.size() > IniText::kMaxValueLength) {
    return;  // not a name or value the file can hold as it is
  }
  FUZZ_CHECK(ini.ReadString(section, key, "\x01missing") == value);
  FUZZ_CHECK(ReadAfterSaving(ini, section, key, "\x01missing") == value);
  for (const Probe& probe : probes) {
    if (!SameName(probe.section, section) || !SameName(probe.key, key)) {
      FUZZ_CHECK(ini.ReadString(probe.section, probe.key, "\x01missing") == probe.value);
    }
  }
}

// The integer a stored text names: [+-]digits within int, or 0x/0X and hex digits within 32
// bits (taken as the int of the same bits). Nothing for any other text.
std::optional<int> IntegerNamed(std::string_view text) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  bool negative = false;
  if (hex) {
    text.remove_prefix(2);
  } else if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) {
    return std::nullopt;
  }
  std::uint64_t magnitude = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (hex && Lower(c) >= 'a' && Lower(c) <= 'f') {
      digit = Lower(c) - 'a' + 10;
    }
    if (digit < 0) {
      return std::nullopt;
    }
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
    if (magnitude > 0xFFFFFFFF) {
      return std::nullopt;
    }
  }
  if (hex) {
    return static_cast<int>(static_cast<std::uint32_t>(magnitude));
  }
  const std::int64_t value =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  if (value < INT32_MIN || value > INT32_MAX) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

void CheckInteger(const std::string& text) {
  const int first = quorvane::ParseStoredInteger(text, 12345);
  const int second = quorvane::ParseStoredInteger(text, -777);
  if (const auto named = IntegerNamed(text)) {
    FUZZ_CHECK(first == *named && second == *named);
  } else {
    FUZZ_CHECK(first == 12345 && second == -777);
  }
}

// Whether text is a decimal number: [+-] digits [. digits] [e [+-] digits], or with the digits
// only after the point.
bool IsDecimalNumber(std::string_view text) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      ++i;
    }
    return i - start;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    ++i;
  }
  std::size_t mantissa = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) {
    return false;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      ++i;
    }
    if (digits() == 0) {
      return false;
    }
  }
  return i == text.size();
}

void CheckFloat(const std::string& text, double raw) {
  std::string_view trimmed = text;
  while (!trimmed.empty() && trimmed.front() == ' ') {
    trimmed.remove_prefix(1);
  }
  while (!trimmed.empty() && trimmed.back() == ' ') {
    trimmed.remove_suffix(1);
  }
  const std::string number(trimmed);
  errno = 0;
  const double expected = std::strtod(number.c_str(), nullptr);  // the "C" locale here
  const bool out_of_range = errno == ERANGE;
  try {
    const double value = quorvane::ParseFloatPropertyText(text);
    FUZZ_CHECK(IsDecimalNumber(trimmed));
    FUZZ_CHECK(std::memcmp(&value, &expected, sizeof value) == 0);
  } catch (const std::invalid_argument&) {
    FUZZ_CHECK(!IsDecimalNumber(trimmed) || out_of_range);
  }
  if (std::isfinite(raw)) {
    const double back = quorvane::ParseFloatPropertyText(quorvane::FloatPropertyText(raw));
    FUZZ_CHECK(back == raw && std::signbit(back) == std::signbit(raw));
  }
}

void CheckBoolean(const std::string& text) {
  const auto value = quorvane::ParseBooleanPropertyText(text);
  FUZZ_CHECK(value.has_value() == (SameName(text, "true") || SameName(text, "false")));
  if (value) {
    FUZZ_CHECK(*value == SameName(text, "true"));
    FUZZ_CHECK(quorvane::ParseBooleanPropertyText(quorvane::BooleanPropertyText(*value)) == value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view whole(reinterpret_cast<const char*>(data), size);
  const auto split = whole.find('\0');
  const std::string_view text = whole.substr(0, split);
  FuzzInput in(data, size);
  in.Bytes(split == std::string_view::npos ? size : split + 1);

  // Binary files too: everything, zero bytes and all, as one settings text.
  Read(IniText(whole), "TForm1", "NormPos");

  IniText ini(text);
  FUZZ_CHECK(IniText(ini.Text()).Text() == ini.Text());
  const std::vector<std::string> candidates = CandidateNames(text);
  for (int i = 0; i < kMaxOperations && !in.Empty(); ++i) {
    switch (in.Byte() % 4) {
      case 0: {
        const std::string section = Name(in, candidates);
        Read(ini, section, Name(in, candidates));
        break;
      }
      case 1:
        Write(ini, in, candidates);
        break;
      case 2: {
        const std::string section = Name(in, candidates);
        const std::string key = Name(in, candidates);
        const std::string value = ini.ReadString(section, key, Value(in));
        CheckInteger(value);
        CheckBoolean(value);
        break;
      }
      default: {
        const std::string value = Value(in);
        const std::uint64_t bits = in.U64();
        double raw = 0;
        std::memcpy(&raw, &bits, sizeof raw);
        CheckFloat(value, raw);
        CheckInteger(value);
        break;
      }
    }
  }
  return 0;
}
