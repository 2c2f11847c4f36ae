// Builds pack archives byte by byte for the tests, straight from the
// format: header, entry records with inverted names, the stored data and a
// repair record after each entry. Fields can be overridden to make damaged
// packs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nv::test {

struct TestEntry {
  std::string name;  // Shift-JIS
  std::string data;
  uint8_t type = 0;
  bool compress = false;
  bool repair_record = true;
  // Overrides of the record's fields (damaged packs).
  std::optional<uint32_t> hash{}, size{}, stored_size{}, data_offset{}, checksum{};
  std::optional<uint8_t> compression{};
};

struct TestPack {
  uint32_t version = 404;
  std::vector<TestEntry> entries;
  std::optional<uint32_t> entry_count{}, index_size{};  // overrides
};

// The whole pack file.
std::string build_pack(const TestPack& pack);

// Byte offset, in a pack built from `pack`, of entry `i`'s stored data.
uint64_t stored_data_offset(const TestPack& pack, size_t i);

// The repair record of `stored` bytes.
std::string build_repair_record(const std::string& stored);

// An "executable": `program` bytes, the appended header and the pack, then
// the trailer that tells where the appended data starts.
std::string build_packed_executable(const std::string& program, const std::string& pack, uint32_t screen_saver = 0);

}  // namespace nv::test
