#pragma once

#include <cstdint>

namespace quorvane {

// Result of every link operation. The values 0 to 15 are fixed: the window shows the message of
// a code after a prefix such as "Connect: ", and no other value is ever produced.
enum class LinkResult : std::uint8_t {
  Okay = 0,
  AlreadyOpen = 1,
  NoServer = 2,
  RegisterMessageFailed = 3,
  AtomFailed = 4,
  MappingFailed = 5,
  ViewFailed = 6,
  WrongServerVersion = 7,
  WrongSimulator = 8,
  NotOpen = 9,
  NothingQueued = 10,
  TimedOut = 11,
  SendFailed = 12,
  BadReply = 13,
  MaybeWideClient = 14,
  BlockFull = 15,
};

// The fixed English message of a code, e.g. "Okay" for LinkResult::Okay.
const char* LinkResultMessage(LinkResult result);

}  // namespace quorvane
