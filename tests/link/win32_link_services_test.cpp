// The link over the real Windows calls against quorvane-sim.exe running as a separate process:
// a hidden top-level window answering the registered message, reading the block through the
// atom's mapping name.

#include "link/win32/link_services_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "link/fsuipc_link.h"
#include "link/request_block.h"
#include "tests/link/link_across_processes_fixture.h"

#undef AddAtom
#undef SendMessageTimeout

namespace quorvane {
namespace {

std::string OwnMappingName() {
  return FsuipcLink::MappingName(::GetCurrentProcessId());
}

using Win32LinkTest = testing::LinkAcrossProcessesTest;

TEST_F(Win32LinkTest, OpenHoldsTheAtomAndTheBlockAndCloseReleasesThem) {
  StartSimulator({});
  ASSERT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
  const std::string name = OwnMappingName();
  EXPECT_NE(::GlobalFindAtomA(name.c_str()), 0);
  HANDLE held = ::OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  EXPECT_NE(held, nullptr);
  if (held != nullptr) {
    ::CloseHandle(held);
  }
  link.Close();
  EXPECT_EQ(::GlobalFindAtomA(name.c_str()), 0);
  EXPECT_EQ(::OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
  // And the same server takes the next link.
  ASSERT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
}

TEST_F(Win32LinkTest, ATakenMappingNameIsRefusedAndLeftAlone) {
  StartSimulator({});
  const std::string name = OwnMappingName();
  HANDLE taken =
      ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0x8000, name.c_str());
  ASSERT_NE(taken, nullptr);
  auto* bytes = static_cast<std::uint8_t*>(::MapViewOfFile(taken, FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(bytes, nullptr);
  bytes[0] = 0x5A;
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::MappingFailed);
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(::GlobalFindAtomA(name.c_str()), 0) << "the atom is released";
  EXPECT_EQ(bytes[0], 0x5A) << "someone else's block is not written";
  EXPECT_EQ(LoggedLengths(), std::vector<int>{}) << "nothing is sent";
  ::UnmapViewOfFile(bytes);
  ::CloseHandle(taken);
}

TEST_F(Win32LinkTest, NoServerHoldsNoAtom) {
  EXPECT_FALSE(link.Open(0, result));
  EXPECT_EQ(result, LinkResult::NoServer);
  EXPECT_EQ(::GlobalFindAtomA(OwnMappingName().c_str()), 0);
}

// The server serves only blocks it can use whole; anything else is answered 0 and not logged.
TEST_F(Win32LinkTest, ServerAnswersZeroWithoutAWholeBlock) {
  StartSimulator({});
  Win32LinkServices services;
  const auto window = services.FindServerWindow(block::kPrimaryServerClass);
  ASSERT_NE(window, 0u);
  const std::uint32_t message = services.RegisterMessage(block::kMessageName);
  ASSERT_NE(message, 0u);
  auto send = [&](std::uint32_t number, std::uintptr_t wparam) {
    std::uintptr_t reply = 99;
    EXPECT_TRUE(services.SendMessageTimeout(window, number, wparam, 0, 2000, reply));
    return reply;
  };

  const std::string small_name = "QuorvaneTest:small:" + std::to_string(::GetCurrentProcessId());
  HANDLE small = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0x1000,
                                      small_name.c_str());
  ASSERT_NE(small, nullptr);
  const std::uint16_t small_atom = services.AddAtom(small_name);
  const std::uint16_t nameless_atom = services.AddAtom("QuorvaneTest:no such mapping");
  ASSERT_NE(small_atom, 0);
  ASSERT_NE(nameless_atom, 0);

  EXPECT_EQ(send(message, small_atom), 0u) << "a block shorter than 0x8000 bytes";
  EXPECT_EQ(send(message, nameless_atom), 0u) << "an atom naming no mapping";
  EXPECT_EQ(send(message, 0), 0u) << "no atom";
  EXPECT_EQ(send(message, 0x10000 + small_atom), 0u) << "wider than an atom";
  EXPECT_EQ(send(WM_USER + 1, small_atom), 0u) << "another message";
  EXPECT_EQ(LoggedLengths(), std::vector<int>{});

  services.DeleteAtom(small_atom);
  services.DeleteAtom(nameless_atom);
  ::CloseHandle(small);
  // The server still serves a proper link.
  EXPECT_TRUE(link.Open(0, result)) << LinkResultMessage(result);
}

}  // namespace
}  // namespace quorvane
