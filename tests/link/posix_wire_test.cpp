#include "link/posix/posix_wire.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace quorvane::posix_wire {
namespace {

TEST(PosixWire, RequestSurvivesEncodeAndDecode) {
  Request request{RequestKind::Exchange, 0xDEADBEEF, 7, "FsasmLib:IPC", "FsasmLib:IPC:1B24:1"};
  const auto packet = EncodeRequest(request);
  ASSERT_TRUE(packet);
  EXPECT_EQ(packet->size(), kRequestHeaderSize + 12 + 19);
  const auto decoded = DecodeRequest(*packet);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->kind, RequestKind::Exchange);
  EXPECT_EQ(decoded->sequence, 0xDEADBEEFu);
  EXPECT_EQ(decoded->lparam, 7u);
  EXPECT_EQ(decoded->message_name, "FsasmLib:IPC");
  EXPECT_EQ(decoded->mapping_name, "FsasmLib:IPC:1B24:1");
}

TEST(PosixWire, MalformedRequestsAreRejected) {
  auto good = *EncodeRequest({RequestKind::Ping, 1, 0, "ab", "cd"});
  ASSERT_TRUE(DecodeRequest(good));

  auto wrong_magic = good;
  wrong_magic[0] ^= 1;
  auto unknown_kind = good;
  unknown_kind[4] = 3;
  const std::vector<std::uint8_t> short_packet(good.begin(), good.end() - 1);
  auto long_packet = good;
  long_packet.push_back('x');
  auto huge_name = good;
  huge_name[16] = 0xFF;
  huge_name[17] = 0xFF;
  for (const auto& bad : {wrong_magic, unknown_kind, short_packet, long_packet, huge_name}) {
    EXPECT_FALSE(DecodeRequest(bad));
  }
  EXPECT_FALSE(DecodeRequest(std::span<const std::uint8_t>()));
  EXPECT_FALSE(EncodeRequest({RequestKind::Exchange, 1, 0, std::string(256, 'a'), "b"}));
}

TEST(PosixWire, ReplySurvivesEncodeAndDecodeAndRejectsOtherPackets) {
  const auto packet = EncodeReply({42, 1});
  const auto decoded = DecodeReply(packet);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->sequence, 42u);
  EXPECT_EQ(decoded->value, 1u);
  const std::vector<std::uint8_t> truncated(packet.begin(), packet.end() - 1);
  EXPECT_FALSE(DecodeReply(truncated));
  auto wrong_magic = packet;
  wrong_magic[3] = 0;
  EXPECT_FALSE(DecodeReply(wrong_magic));
}

TEST(PosixWire, SocketPathsStayInsideThePrivateFolder) {
  ::setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
  EXPECT_EQ(SocketPath("UIPCMAIN"), "/run/user/1000/quorvane/UIPCMAIN");
  for (const char* bad : {"", ".", "..", "../x", "a/b"}) {
    EXPECT_FALSE(SocketPath(bad)) << bad;
  }
  EXPECT_FALSE(SocketPath(std::string(200, 'A')));
  ::setenv("XDG_RUNTIME_DIR", "relative", 1);
  EXPECT_EQ(SocketDirectory().rfind("/tmp/quorvane-", 0), 0u);
}

TEST(PosixWire, SharedMemoryNamesAreSingleComponents) {
  EXPECT_EQ(SharedMemoryName("FsasmLib:IPC:1B24:1"), "/FsasmLib:IPC:1B24:1");
  for (const char* bad : {"", ".", "..", "a/b", "/x"}) {
    EXPECT_FALSE(SharedMemoryName(bad)) << bad;
  }
}

}  // namespace
}  // namespace quorvane::posix_wire
