#include "link/fsuipc_link.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <vector>

#include "link/request_block.h"
#include "tests/support/fake_link_services.h"

namespace quorvane {
namespace {

using testing::FakeLinkServices;
using testing::SendOutcome;

std::vector<std::uint8_t> Bytes(std::initializer_list<std::uint32_t> words) {
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t word : words) {
    for (int i = 0; i < 4; ++i) {
      bytes.push_back(static_cast<std::uint8_t>(word >> (8 * i)));
    }
  }
  return bytes;
}

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override { services.PutServerWords(); }

  bool Open(std::uint32_t requested = 0) { return link.Open(requested, result); }

  void ExpectNothingHeld() const {
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(services.live_windows, 0);
    EXPECT_EQ(services.live_atoms, 0);
    EXPECT_EQ(services.live_mappings, 0);
    EXPECT_EQ(services.live_views, 0);
  }

  FakeLinkServices services;
  FsuipcLink link{services};
  LinkResult result = LinkResult::Okay;
};

// --- Opening and the version handshake ---

TEST_F(LinkTest, FirstHandshakeBlockReadsBothWordsAndWritesTheClientVersion) {
  ASSERT_TRUE(Open());
  ASSERT_EQ(services.sent_blocks.size(), 1u);
  std::vector<std::uint8_t> expected =
      Bytes({1, 0x3304, 4, 1, 0, 1, 0x3308, 4, 2, 0, 2, 0x330A, 2});
  expected.push_back(0xEC);
  expected.push_back(0x03);
  const auto terminator = Bytes({0});
  expected.insert(expected.end(), terminator.begin(), terminator.end());
  EXPECT_EQ(services.sent_blocks[0].size(), 58u);
  EXPECT_EQ(services.sent_blocks[0], expected);
  EXPECT_EQ(services.client_version_written, 1004u);
  EXPECT_EQ(services.sleeps, std::vector<std::uint32_t>{100});
  EXPECT_EQ(result, LinkResult::Okay);
  EXPECT_EQ(link.ServerVersion(), 0x36220002u);
  EXPECT_EQ(link.SimulatorVersion(), 8u);
}

TEST_F(LinkTest, MappingIsNamedAfterTheProcessIdInUpperCaseHex) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(services.atom_texts, std::vector<std::string>{"FsasmLib:IPC:1B24:1"});
  EXPECT_EQ(FsuipcLink::MappingName(0xABC), "FsasmLib:IPC:ABC:1");
}

TEST_F(LinkTest, ServerAnsweringZerosGetsFivePassesThenVersionError) {
  services.space.Put(0x3304, 4, 0);
  services.space.Put(0x3308, 4, 0);
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, LinkResult::WrongServerVersion);
  ASSERT_EQ(services.sent_blocks.size(), 5u);
  EXPECT_EQ(services.sent_blocks[0].size(), 58u);
  for (std::size_t pass = 1; pass < 5; ++pass) {
    EXPECT_EQ(services.sent_blocks[pass], Bytes({1, 0x3304, 4, 1, 0, 1, 0x3308, 4, 2, 0, 0}))
        << "pass " << pass + 1;
  }
  EXPECT_EQ(services.sleeps, std::vector<std::uint32_t>(5, 100));
  ExpectNothingHeld();
}

TEST_F(LinkTest, VersionFailureIsReportedByTheClassTheServerWasFoundBy) {
  services.space.Put(0x3304, 4, 0x19980004);
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, LinkResult::WrongServerVersion);

  services.windows = {"FS98MAIN"};
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, LinkResult::MaybeWideClient);
  ExpectNothingHeld();

  services.space.Put(0x3304, 4, 0x19980005);
  EXPECT_TRUE(Open());
}

TEST_F(LinkTest, SimulatorWordWithoutTagIsRefused) {
  services.space.Put(0x3308, 4, 0xFADF0008);
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, LinkResult::WrongServerVersion);
}

TEST_F(LinkTest, RequestedSimulatorMustMatchTheReportedOne) {
  services.space.Put(0x3308, 4, 0xFADE0007);
  ASSERT_TRUE(Open(7));
  EXPECT_EQ(link.SimulatorVersion(), 7u);
  link.Close();
  EXPECT_FALSE(Open(6));
  EXPECT_EQ(result, LinkResult::WrongSimulator);
  ExpectNothingHeld();
}

TEST_F(LinkTest, NoServerWindowHoldsNothing) {
  services.windows.clear();
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, LinkResult::NoServer);
  ExpectNothingHeld();
  EXPECT_EQ(services.send_attempts, 0);
}

TEST_F(LinkTest, EachSetUpFailureHasItsCodeAndReleasesWhatWasAcquired) {
  struct Case {
    const char* name;
    bool FakeLinkServices::*flag;
    LinkResult expected;
  };
  const std::array<Case, 5> cases = {{
      {"register", &FakeLinkServices::register_fails, LinkResult::RegisterMessageFailed},
      {"atom", &FakeLinkServices::atom_fails, LinkResult::AtomFailed},
      {"mapping", &FakeLinkServices::mapping_fails, LinkResult::MappingFailed},
      {"existing mapping", &FakeLinkServices::mapping_exists, LinkResult::MappingFailed},
      {"view", &FakeLinkServices::view_fails, LinkResult::ViewFailed},
  }};
  for (const Case& c : cases) {
    FakeLinkServices fake;
    fake.*(c.flag) = true;
    FsuipcLink fresh(fake);
    EXPECT_FALSE(fresh.Open(0, result)) << c.name;
    EXPECT_EQ(result, c.expected) << c.name;
    EXPECT_FALSE(fresh.IsOpen()) << c.name;
    EXPECT_EQ(fake.live_windows + fake.live_atoms + fake.live_mappings + fake.live_views, 0)
        << c.name;
  }
}

TEST_F(LinkTest, OpenWhileOpenIsRefusedAndLeavesTheLinkWorking) {
  ASSERT_TRUE(Open());
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, LinkResult::AlreadyOpen);
  std::uint32_t version = 0;
  ASSERT_TRUE(link.QueueRead(0x3304, 4, &version, result));
  ASSERT_TRUE(link.Process(result));
  EXPECT_EQ(version, 0x36220002u);
}

TEST_F(LinkTest, HandshakeSendFailureClosesWithTheSendCode) {
  services.on_send = [](std::uint8_t*) { return SendOutcome{false, 0, 1400}; };
  EXPECT_FALSE(Open());
  EXPECT_EQ(result, LinkResult::SendFailed);
  ExpectNothingHeld();
}

TEST_F(LinkTest, VersionsAreResetByOpenAndKeptByClose) {
  ASSERT_TRUE(Open());
  link.Close();
  EXPECT_EQ(link.ServerVersion(), 0x36220002u);
  services.windows.clear();
  EXPECT_FALSE(Open());
  EXPECT_EQ(link.ServerVersion(), 0u);
  EXPECT_EQ(link.SimulatorVersion(), 0u);
}

// --- Queueing and processing ---

TEST_F(LinkTest, EveryCallOnAClosedLinkReportsNotOpen) {
  std::uint32_t value = 0;
  EXPECT_FALSE(link.QueueRead(0x3304, 4, &value, result));
  EXPECT_EQ(result, LinkResult::NotOpen);
  EXPECT_FALSE(link.QueueWrite(0x3304, 4, &value, result));
  EXPECT_EQ(result, LinkResult::NotOpen);
  EXPECT_FALSE(link.Process(result));
  EXPECT_EQ(result, LinkResult::NotOpen);
  link.Close();
  link.Close();
  ASSERT_TRUE(Open());
  link.Close();
  EXPECT_FALSE(link.Process(result));
  EXPECT_EQ(result, LinkResult::NotOpen);
}

TEST_F(LinkTest, ProcessWithNothingQueuedReportsNothingQueued) {
  ASSERT_TRUE(Open());
  const int attempts = services.send_attempts;
  EXPECT_FALSE(link.Process(result));
  EXPECT_EQ(result, LinkResult::NothingQueued);
  EXPECT_EQ(services.send_attempts, attempts);
}

TEST_F(LinkTest, FullnessLimitIsExact) {
  ASSERT_TRUE(Open());
  EXPECT_TRUE(link.QueueRead(0x0000, 32492, nullptr, result));
  link.Close();
  ASSERT_TRUE(Open());
  EXPECT_FALSE(link.QueueRead(0x0000, 32493, nullptr, result));
  EXPECT_EQ(result, LinkResult::BlockFull);
  EXPECT_TRUE(link.QueueWrite(0x0000, 32496, std::vector<std::uint8_t>(32496).data(), result));
  link.Close();
  ASSERT_TRUE(Open());
  EXPECT_FALSE(link.QueueWrite(0x0000, 32497, nullptr, result));
  EXPECT_EQ(result, LinkResult::BlockFull);
}

TEST_F(LinkTest, SizesNearTheTopOfTheRangeDoNotWrapIntoAcceptance) {
  ASSERT_TRUE(Open());
  std::uint32_t value = 0;
  ASSERT_TRUE(link.QueueRead(0x3304, 4, &value, result));
  for (std::uint32_t size : {0xFFFFFFFFu, 0xFFFFFFF0u, 0xFFFFFFECu}) {
    EXPECT_FALSE(link.QueueRead(0, size, &value, result)) << size;
    EXPECT_EQ(result, LinkResult::BlockFull);
    EXPECT_FALSE(link.QueueWrite(0, size, &value, result)) << size;
  }
  // A refused request leaves the earlier one queued and the block as it was.
  EXPECT_EQ(link.QueuedBytes(), 20u);
  ASSERT_TRUE(link.Process(result));
  EXPECT_EQ(value, 0x36220002u);
}

TEST_F(LinkTest, ReadsQueuedTogetherAreDeliveredTogether) {
  services.space.Put(0x0560, 8, 0x1122334455667788);
  services.space.Put(0x02A0, 2, 0xBEEF);
  ASSERT_TRUE(Open());
  std::uint64_t latitude = 0;
  std::uint16_t variation = 0;
  std::uint32_t version = 0;
  ASSERT_TRUE(link.QueueRead(0x0560, 8, &latitude, result));
  ASSERT_TRUE(link.QueueRead(0x02A0, 2, &variation, result));
  ASSERT_TRUE(link.QueueRead(0x3304, 4, &version, result));
  EXPECT_EQ(latitude, 0u) << "nothing arrives before the exchange";
  const int attempts = services.send_attempts;
  ASSERT_TRUE(link.Process(result));
  EXPECT_EQ(services.send_attempts, attempts + 1);
  EXPECT_EQ(latitude, 0x1122334455667788u);
  EXPECT_EQ(variation, 0xBEEF);
  EXPECT_EQ(version, 0x36220002u);
}

TEST_F(LinkTest, WriteDataAreTakenWhenQueued) {
  ASSERT_TRUE(Open());
  std::uint32_t source = 0xCAFEF00D;
  ASSERT_TRUE(link.QueueWrite(0x1000, 4, &source, result));
  source = 0;
  ASSERT_TRUE(link.Process(result));
  EXPECT_EQ(services.space.Get(0x1000, 4), 0xCAFEF00Du);
}

TEST_F(LinkTest, EmptyReadsOccupyTheBlockButCopyNothing) {
  services.space.Put(0x1000, 4, 0x01020304);
  ASSERT_TRUE(Open());
  std::uint32_t untouched = 0xAAAAAAAA;
  ASSERT_TRUE(link.QueueRead(0x1000, 0, &untouched, result));
  EXPECT_EQ(link.QueuedBytes(), 16u);
  ASSERT_TRUE(link.QueueRead(0x1000, 4, nullptr, result));
  EXPECT_EQ(link.QueuedBytes(), 36u);
  ASSERT_TRUE(link.Process(result));
  EXPECT_EQ(untouched, 0xAAAAAAAAu);
  EXPECT_EQ(link.QueuedBytes(), 0u);
}

TEST_F(LinkTest, ReplyOtherThanOneIsBadDataAndConsumesTheQueue) {
  ASSERT_TRUE(Open());
  for (std::uintptr_t reply : {std::uintptr_t{0}, std::uintptr_t{2}}) {
    services.on_send = [this, reply](std::uint8_t* block) {
      services.Serve(block);
      return SendOutcome{true, reply, 0};
    };
    std::uint32_t version = 0;
    ASSERT_TRUE(link.QueueRead(0x3304, 4, &version, result));
    EXPECT_FALSE(link.Process(result));
    EXPECT_EQ(result, LinkResult::BadReply);
    EXPECT_EQ(version, 0u);
    EXPECT_FALSE(link.Process(result));
    EXPECT_EQ(result, LinkResult::NothingQueued);
  }
}

TEST_F(LinkTest, TenFailedAttemptsReportTimeOutOrSendFailureByTheLastError) {
  ASSERT_TRUE(Open());
  for (auto [error, expected] :
       {std::pair{0u, LinkResult::TimedOut}, std::pair{1400u, LinkResult::SendFailed}}) {
    services.on_send = [error](std::uint8_t*) { return SendOutcome{false, 0, error}; };
    services.sleeps.clear();
    const int attempts = services.send_attempts;
    std::uint32_t version = 0;
    ASSERT_TRUE(link.QueueRead(0x3304, 4, &version, result));
    EXPECT_FALSE(link.Process(result));
    EXPECT_EQ(result, expected);
    EXPECT_EQ(services.send_attempts - attempts, 10);
    EXPECT_EQ(services.sleeps, std::vector<std::uint32_t>(10, 100));
    EXPECT_EQ(version, 0u);
    EXPECT_TRUE(link.IsOpen());
    EXPECT_FALSE(link.Process(result));
    EXPECT_EQ(result, LinkResult::NothingQueued);
  }
}

// A close or a termination interrupts the waits: no attempt and no pause after that.
TEST_F(LinkTest, InterruptedExchangeMakesNoFurtherAttemptOrPause) {
  ASSERT_TRUE(Open());
  services.sleeps.clear();
  services.on_send = [this](std::uint8_t*) {
    services.interrupt.Request();
    return SendOutcome{false, 0, 4};  // the wait ended as interrupted (EINTR)
  };
  const int before = services.send_attempts;
  std::uint32_t value = 0;
  ASSERT_TRUE(link.QueueRead(0x3304, 4, &value, result));
  EXPECT_FALSE(link.Process(result));
  EXPECT_EQ(result, LinkResult::SendFailed);
  EXPECT_EQ(services.send_attempts, before + 1);
  EXPECT_TRUE(services.sleeps.empty());

  // While still interrupted, nothing is sent at all, and the queue is consumed as ever.
  ASSERT_TRUE(link.QueueRead(0x3304, 4, &value, result));
  EXPECT_FALSE(link.Process(result));
  EXPECT_EQ(result, LinkResult::SendFailed);
  EXPECT_EQ(services.send_attempts, before + 1);
  EXPECT_EQ(link.QueuedBytes(), 0u);

  services.interrupt.Clear();
  services.on_send = [this](std::uint8_t* block) { return services.Serve(block); };
  ASSERT_TRUE(link.QueueRead(0x3304, 4, &value, result));
  EXPECT_TRUE(link.Process(result)) << "cleared, the link works as before";
}

TEST_F(LinkTest, SendIsRetriedUntilAnAttemptGetsThrough) {
  ASSERT_TRUE(Open());
  int failures = 2;
  services.on_send = [this, &failures](std::uint8_t* block) {
    if (failures-- > 0) {
      return SendOutcome{false, 0, 0};
    }
    return services.Serve(block);
  };
  services.sleeps.clear();
  std::uint32_t version = 0;
  ASSERT_TRUE(link.QueueRead(0x3304, 4, &version, result));
  ASSERT_TRUE(link.Process(result));
  EXPECT_EQ(version, 0x36220002u);
  EXPECT_EQ(services.sleeps, std::vector<std::uint32_t>(2, 100));
}

// --- Replies the server may have forged ---

class ForgedReplyTest : public LinkTest {
 protected:
  // Queues three reads, lets the server serve them and then forge the block, and processes.
  void ProcessWithForgery(const std::function<void(std::uint8_t*)>& forge) {
    ASSERT_TRUE(Open());
    services.space.Put(0x0100, 4, 0x11111111);
    services.space.Put(0x0200, 8, 0x2222222222222222);
    services.on_send = [this, forge](std::uint8_t* block) {
      services.Serve(block);
      forge(block);
      return SendOutcome{};
    };
    ASSERT_TRUE(link.QueueRead(0x0100, 4, &first, result));
    ASSERT_TRUE(link.QueueRead(0x0200, 8, &second, result));
    ASSERT_TRUE(link.QueueWrite(0x0300, 2, &written, result));
    processed = link.Process(result);
  }

  std::uint32_t first = 0;
  std::uint64_t second = 0;
  std::uint16_t written = 7;
  bool processed = false;
};

TEST_F(ForgedReplyTest, UntouchedReplyIsDelivered) {
  ProcessWithForgery([](std::uint8_t*) {});
  EXPECT_TRUE(processed);
  EXPECT_EQ(first, 0x11111111u);
  EXPECT_EQ(second, 0x2222222222222222u);
}

struct HeaderForgery {
  const char* name;
  std::uint32_t position;  // of the forged word in the block
  std::uint32_t value;
};

class ChangedHeaderTest : public ForgedReplyTest,
                          public ::testing::WithParamInterface<HeaderForgery> {};

TEST_P(ChangedHeaderTest, IsBadDataAndNothingIsCopied) {
  const HeaderForgery forgery = GetParam();
  ProcessWithForgery(
      [forgery](std::uint8_t* block) { block::StoreU32(block + forgery.position, forgery.value); });
  EXPECT_FALSE(processed);
  EXPECT_EQ(result, LinkResult::BadReply);
  EXPECT_EQ(first, 0u) << "nothing may be copied, not even the valid first read";
  EXPECT_EQ(second, 0u);
}

// Layout: read at 0 (20 bytes), read at 20 (24 bytes), write at 44 (14 bytes), end at 58.
INSTANTIATE_TEST_SUITE_P(
    Forgeries, ChangedHeaderTest,
    ::testing::Values(HeaderForgery{"SecondIdMadeAWrite", 20, 2},
                      HeaderForgery{"FirstSizeGrown", 8, 8},
                      HeaderForgery{"SecondSizeGrownPastTheBlock", 28, 0x7FFFFFFF},
                      HeaderForgery{"FirstSizeShrunk", 8, 0},
                      HeaderForgery{"WriteIdMadeARead", 44, 1}, HeaderForgery{"UnknownId", 20, 7},
                      HeaderForgery{"TerminatorOverwritten", 58, 1}),
    [](const ::testing::TestParamInfo<HeaderForgery>& info) { return info.param.name; });

TEST_F(ForgedReplyTest, DestinationFieldCannotRedirectTheCopy) {
  std::uint64_t elsewhere = 0;
  ProcessWithForgery([&elsewhere](std::uint8_t* block) {
    // Whatever the server puts in the 4-byte destination field is ignored.
    const auto address = reinterpret_cast<std::uintptr_t>(&elsewhere);
    block::StoreU32(block + 12, static_cast<std::uint32_t>(address));
    block::StoreU32(block + 32, 0xFFFFFFFF);
  });
  EXPECT_TRUE(processed);
  EXPECT_EQ(first, 0x11111111u);
  EXPECT_EQ(second, 0x2222222222222222u);
  EXPECT_EQ(elsewhere, 0u);
}

TEST_F(LinkTest, DataBeyondTheQueuedSizeNeverReachTheDestination) {
  ASSERT_TRUE(Open());
  services.space.Put(0x0100, 4, 0x11111111);
  services.space.Put(0x0200, 8, 0x2222222222222222);
  // Each destination lies between guard bytes: a copy of more than its read's size (the next
  // header's bytes, or whatever follows the last read) would change them.
  std::array<std::uint8_t, 4 + 4 + 4> first{};
  std::array<std::uint8_t, 4 + 8 + 4> second{};
  first.fill(0xEE);
  second.fill(0xEE);
  // Layout: read at 0 (data at 16), read at 20 (data at 36), terminator at 44. The server also
  // fills what follows the terminator's checked first byte with data of its own.
  services.on_send = [this](std::uint8_t* block) {
    const SendOutcome outcome = services.Serve(block);
    std::memset(block + 45, 0x5A, 64);
    return outcome;
  };
  ASSERT_TRUE(link.QueueRead(0x0100, 4, first.data() + 4, result));
  ASSERT_TRUE(link.QueueRead(0x0200, 8, second.data() + 4, result));
  ASSERT_TRUE(link.Process(result)) << LinkResultMessage(result);
  std::uint64_t second_value = 0;
  std::memcpy(&second_value, second.data() + 4, 8);
  EXPECT_EQ(block::LoadU32(first.data() + 4), 0x11111111u);
  EXPECT_EQ(second_value, 0x2222222222222222u);
  for (const auto& [guarded, size] :
       {std::pair{first.data(), std::size_t{4}}, std::pair{second.data(), std::size_t{8}}}) {
    for (std::size_t i : {0u, 1u, 2u, 3u}) {
      EXPECT_EQ(guarded[i], 0xEE) << "before the destination, byte " << i;
      EXPECT_EQ(guarded[4 + size + i], 0xEE) << "after the destination, byte " << i;
    }
  }
}

}  // namespace
}  // namespace quorvane
