#pragma once

#include <cstdint>
#include <string>

namespace quorvane {

// The status-bar text of the server's version word: "FSUIPC Version: " then the BCD digits of
// bits 28-31, ".", bits 24-27, 20-23 and 16-19, then, when the low 16 bits are not all zero, the
// character (96 + low byte) mod 256 ("a" for 1, "b" for 2). 0x36220002 gives
// "FSUIPC Version: 3.622b".
std::string VersionText(std::uint32_t server_version);

}  // namespace quorvane
