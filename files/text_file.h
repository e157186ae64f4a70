#pragma once

// Line lists as the text files the viewer reads.

#include <string>
#include <vector>

namespace quorvane {

// The lines as one text: each line, the last one too, followed by CR LF; bytes unchanged, no
// byte-order mark.
std::string CrLfText(const std::vector<std::string>& lines);

}  // namespace quorvane
