// Opening a mounted pack for reading. In packed-executable mode every pack
// is the executable itself, read from the pack base; otherwise the pack file
// is found through the title folder. No pack stays open between reads.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/file_system.h"
#include "resources/resource_state.h"

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::res {

struct OpenPack {
  platform::ReadFile file;
  uint64_t base = 0;  // file offset of pack offset 0

  bool is_open() const { return file.is_open() && file.size() >= base; }
  uint64_t size() const { return is_open() ? file.size() - base : 0; }  // bytes from pack offset 0
  // Reads exactly out.size() bytes at pack offset `offset`.
  bool read(uint64_t offset, std::span<uint8_t> out) const {
    return is_open() && offset <= size() && file.read_at(base + offset, out);
  }
};

OpenPack open_pack(const Engine& e, const PackFile& pack);

// The pack path as messages show it: relative to the title folder in
// release mode, prefixed with the executable's folder otherwise.
std::string pack_display_path(const ResourceState& rs, const PackFile& pack);

}  // namespace nv::res
