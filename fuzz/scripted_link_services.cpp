#include "fuzz/scripted_link_services.h"

#include "link/request_block.h"

namespace quorvane::fuzzing {

ScriptedLinkServices::Outcome ScriptedLinkServices::ServeHandshake(std::uint8_t* block,
                                                                   std::uint32_t size) {
  constexpr std::uint64_t kWords = 0xFADE000836220002;  // 0x3304..0x330B, little-endian
  std::uint64_t cursor = 0;
  while (cursor + block::kTerminatorSize <= size && block[cursor] != 0) {
    const std::uint32_t id = block::LoadU32(block + cursor);
    const std::uint64_t header =
        id == block::kReadId ? block::kReadHeaderSize : block::kWriteHeaderSize;
    if ((id != block::kReadId && id != block::kWriteId) || cursor + header > size) {
      break;
    }
    const std::uint32_t offset = block::LoadU32(block + cursor + 4);
    const std::uint32_t length = block::LoadU32(block + cursor + 8);
    if (cursor + header + length > size) {
      break;
    }
    for (std::uint32_t i = 0; id == block::kReadId && i < length; ++i) {
      const std::uint64_t at = std::uint64_t{offset} + i;
      block[cursor + header + i] = at >= 0x3304 && at < 0x330C
                                       ? static_cast<std::uint8_t>(kWords >> (8 * (at - 0x3304)))
                                       : 0;
    }
    cursor += header + length;
  }
  return {};
}

LinkServices::Handle ScriptedLinkServices::FindServerWindow(const std::string& class_name) {
  return class_name == block::kPrimaryServerClass ? 0x100 : 0;
}

LinkServices::Handle ScriptedLinkServices::CreateMapping(const std::string&, std::uint32_t size) {
  block_size_ = size;
  last_error_ = 0;
  return 0x300;
}

std::uint8_t* ScriptedLinkServices::MapView(Handle) {
  block_ = std::make_unique<std::uint8_t[]>(block_size_);  // a fresh mapping reads as zeros
  return block_.get();
}

void ScriptedLinkServices::UnmapView(std::uint8_t*) {
  block_.reset();
}

bool ScriptedLinkServices::SendMessageTimeout(Handle, std::uint32_t, std::uintptr_t, std::intptr_t,
                                              std::uint32_t, std::uintptr_t& reply) {
  const Outcome outcome = on_send ? on_send(block_.get(), block_size_) : Outcome{};
  last_error_ = outcome.last_error;
  if (outcome.sent) {
    reply = outcome.reply;
  }
  return outcome.sent;
}

}  // namespace quorvane::fuzzing
