#include "app/version_text.h"

namespace quorvane {

namespace {

// The character 48 + n of a 4-bit field: "0" to "9" for BCD digits, punctuation above 9.
char Digit(std::uint32_t word, int shift) {
  return static_cast<char>(48 + ((word >> shift) & 0xF));
}

}  // namespace

std::string VersionText(std::uint32_t server_version) {
  std::string text = "FSUIPC Version: ";
  text += Digit(server_version, 28);
  text += '.';
  text += Digit(server_version, 24);
  text += Digit(server_version, 20);
  text += Digit(server_version, 16);
  if ((server_version & 0xFFFF) != 0) {
    text += static_cast<char>((96 + (server_version & 0xFF)) % 256);
  }
  return text;
}

}  // namespace quorvane
