#include "tests/support/pack_builder.h"

#include <zlib.h>

#include <stdexcept>

#include "formats/checksums.h"
#include "formats/pack_format.h"

namespace nv::test {

namespace {

void put_u32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string compress_zlib(const std::string& in) {
  uLongf n = compressBound(static_cast<uLong>(in.size()));
  std::string out(n, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(in.data()),
                static_cast<uLong>(in.size()), 6) != Z_OK)
    throw std::runtime_error("compress2");
  out.resize(n);
  return out;
}

std::string stored_bytes(const TestEntry& e) { return e.compress ? compress_zlib(e.data) : e.data; }

struct Layout {
  std::string index;
  std::vector<std::string> blobs;  // stored data followed by the repair record
  std::vector<uint64_t> offsets;
};

Layout lay_out(const TestPack& pack) {
  Layout l;
  size_t index_size = 0;
  for (const TestEntry& e : pack.entries) index_size += pack::kRecordFixedSize + e.name.size();
  uint64_t offset = pack::kHeaderSize + index_size;
  for (const TestEntry& e : pack.entries) {
    std::string stored = stored_bytes(e);
    uint32_t adler = adler32_of(stored, 1);
    std::string& rec = l.index;
    put_u32(rec, e.hash.value_or(crc32_of(e.name)));
    rec += static_cast<char>(pack::stored_length_byte(static_cast<uint8_t>(e.name.size())));
    for (char c : e.name) rec += static_cast<char>(~c);
    rec += static_cast<char>(e.type);
    rec += static_cast<char>(e.compression.value_or(e.compress ? pack::kZlib : pack::kStored));
    put_u32(rec, e.size.value_or(static_cast<uint32_t>(e.data.size())));
    put_u32(rec, e.stored_size.value_or(static_cast<uint32_t>(stored.size())));
    put_u32(rec, e.data_offset.value_or(static_cast<uint32_t>(offset)));
    put_u32(rec, e.checksum.value_or(adler));
    l.offsets.push_back(offset);
    std::string blob = stored + (e.repair_record ? build_repair_record(stored) : std::string());
    offset += blob.size();
    l.blobs.push_back(std::move(blob));
  }
  return l;
}

}  // namespace

std::string build_repair_record(const std::string& stored) {
  const size_t n = stored.size();
  const size_t k = (n + 1023) / 1024;
  std::string r;
  put_u32(r, 1024);
  put_u32(r, static_cast<uint32_t>(k));
  std::string parity(1024, '\0');
  for (size_t j = 0; j < k; ++j) {
    std::string_view block = std::string_view(stored).substr(j * 1024, 1024);
    uint32_t crc = crc32_of(block);
    r += static_cast<char>(crc & 0xFF);
    r += static_cast<char>((crc >> 8) & 0xFF);
    for (size_t p = 0; p < block.size(); ++p) parity[p] = static_cast<char>(parity[p] ^ block[p]);
  }
  return r + parity;
}

std::string build_pack(const TestPack& pack) {
  Layout l = lay_out(pack);
  std::string out(pack::kMagic, 4);
  put_u32(out, pack.version);
  put_u32(out, pack.entry_count.value_or(static_cast<uint32_t>(pack.entries.size())));
  put_u32(out, pack.index_size.value_or(static_cast<uint32_t>(l.index.size())));
  out.append(16, '\0');
  out += l.index;
  for (const std::string& b : l.blobs) out += b;
  return out;
}

uint64_t stored_data_offset(const TestPack& pack, size_t i) { return lay_out(pack).offsets.at(i); }

std::string build_packed_executable(const std::string& program, const std::string& pack, uint32_t screen_saver) {
  std::string out = program;
  out.append(pack::kAppendedMagic, 4);
  put_u32(out, pack::kAppendedHeaderSize);
  put_u32(out, screen_saver);
  put_u32(out, 0);
  out += pack;
  out += pack::kTrailerMagic;
  put_u32(out, static_cast<uint32_t>(program.size()));
  put_u32(out, 0);
  return out;
}

}  // namespace nv::test
