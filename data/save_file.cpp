#include "data/save_file.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "resources/inflate.h"
#include "formats/byte_reader.h"

namespace nv::save {

namespace {

constexpr char kMagic[4] = {'N', 'V', 'S', 'D'};

uint64_t payload_limit(Kind kind) { return kind == kImageData ? kMaxImagePayload : kMaxVariablePayload; }

// Compresses `in` at level 1 after `head_size` bytes of `out`; false on failure.
bool compress_after(std::span<const uint8_t> in, std::vector<uint8_t>& out, size_t head_size, Compressor which) {
  if (which == Compressor::zlib) {
    uLongf n = compressBound(static_cast<uLong>(in.size()));
    out.resize(head_size + n);
    if (compress2(out.data() + head_size, &n, in.data(), static_cast<uLong>(in.size()), 1) != Z_OK) return false;
    out.resize(head_size + n);
    return true;
  }
  libdeflate_compressor* c = libdeflate_alloc_compressor(1);
  if (!c) return false;
  size_t bound = libdeflate_zlib_compress_bound(c, in.size());
  out.resize(head_size + bound);
  size_t n = libdeflate_zlib_compress(c, in.data(), in.size(), out.data() + head_size, bound);
  libdeflate_free_compressor(c);
  if (n == 0) return false;
  out.resize(head_size + n);
  return true;
}

}  // namespace

uint32_t make_record(uint32_t data_number, Kind kind, std::span<const uint8_t> payload, std::vector<uint8_t>& out,
                     Compressor compressor) {
  if (data_number < 1 || data_number > kMaxDataNumber || payload.size() > payload_limit(kind)) return kErrDataError;
  out.clear();
  if (!compress_after(payload, out, kRecordHeadSize, compressor)) return kErrDataError;
  uint8_t* p = out.data();
  store_u32(p, data_number);
  p[4] = kind;
  p[5] = 1;
  p[6] = p[7] = 0;
  store_u32(p + 8, static_cast<uint32_t>(out.size() - kRecordHeadSize));
  store_u32(p + 12, static_cast<uint32_t>(payload.size()));
  return kOk;
}

uint32_t record_data_number(std::span<const uint8_t> record) {
  return record.size() >= kRecordHeadSize ? load_u32(record.data()) : 0;
}

uint32_t parse_file_head(std::span<const uint8_t> head, uint64_t file_size, FileIndex& out) {
  out = FileIndex{};
  size_t have = static_cast<size_t>(std::min<uint64_t>(file_size, head.size()));
  if (have < 4 || std::memcmp(head.data(), kMagic, 4) != 0) return kErrBadFile;
  if (have < 8) return kErrBadFile;
  if (load_u32(head.data() + 4) != kVersion) return kErrVersion;
  if (have < kHeadSize || load_u32(head.data() + 12) != kTableEntries) return kErrBadFile;
  out.count = load_u32(head.data() + 8);
  for (size_t k = 0; k < kTableEntries; ++k) out.offsets[k] = load_u32(head.data() + kTableOffset + 4 * k);
  return kOk;
}

uint32_t parse_record_head(std::span<const uint8_t> bytes, uint32_t data_number, uint64_t offset, uint64_t file_size,
                           RecordHead& out) {
  out = RecordHead{};
  if (offset < kHeadSize || offset > file_size || file_size - offset < kRecordHeadSize ||
      bytes.size() < kRecordHeadSize)
    return kErrBadFile;
  const uint8_t* p = bytes.data();
  uint8_t kind = p[4];
  uint32_t compressed = load_u32(p + 8);
  if (load_u32(p) != data_number || kind > kImageData) return kErrBadFile;
  if (file_size - offset - kRecordHeadSize < compressed) return kErrBadFile;
  out.data_number = data_number;
  out.kind = static_cast<Kind>(kind);
  out.compressed_size = compressed;
  out.payload_size = load_u32(p + 12);
  out.data_offset = offset + kRecordHeadSize;
  return kOk;
}

uint32_t inflate_record(const RecordHead& head, std::span<const uint8_t> stream, std::vector<uint8_t>& payload) {
  payload.clear();
  if (head.payload_size > payload_limit(head.kind))
    return head.kind == kImageData ? kErrImageData : kErrArrayTooLarge;
  if (stream.size() != head.compressed_size) return kErrDataError;
  // Deflate turns a byte into at most 1032: a larger payload size is a lie,
  // refused before its block is allocated.
  if (head.payload_size > uint64_t(head.compressed_size) * 1032 + 64) return kErrDataError;
  payload.resize(head.payload_size);
  if (res::inflate_zlib_stream(stream, payload, res::Inflater::libdeflate) != res::InflateStatus::ok) {
    payload.clear();
    return kErrDataError;
  }
  return kOk;
}

uint32_t find_record(std::span<const uint8_t> file, uint32_t data_number, RecordHead& head,
                     std::span<const uint8_t>& stream) {
  stream = {};
  FileIndex index;
  if (uint32_t e = parse_file_head(file, file.size(), index); e != kOk) return e;
  if (data_number < 1 || data_number > kMaxDataNumber) return kErrNoRecord;
  uint32_t offset = index.offsets[data_number - 1];
  if (offset == 0) return kErrNoRecord;
  std::span<const uint8_t> at = offset <= file.size() ? file.subspan(offset) : std::span<const uint8_t>();
  if (uint32_t e = parse_record_head(at, data_number, offset, file.size(), head); e != kOk) return e;
  stream = file.subspan(head.data_offset, head.compressed_size);
  return kOk;
}

uint32_t plan_file(const std::vector<uint8_t>* old_file, std::span<const std::span<const uint8_t>> records,
                   FilePlan& out) {
  out = FilePlan{};
  std::array<const std::span<const uint8_t>*, kTableEntries> fresh{};
  for (const auto& r : records) {
    uint32_t dno = record_data_number(r);
    if (dno < 1 || dno > kMaxDataNumber || fresh[dno - 1]) return kErrDataError;
    fresh[dno - 1] = &r;
  }

  // The old records, checked, in file order.
  std::vector<std::pair<uint32_t, std::span<const uint8_t>>> old_records;  // (data number, whole record)
  if (old_file) {
    std::span<const uint8_t> file(*old_file);
    FileIndex index;
    if (uint32_t e = parse_file_head(file, file.size(), index); e != kOk) return e;
    std::vector<std::pair<uint32_t, uint32_t>> by_offset;
    for (uint32_t k = 0; k < kTableEntries; ++k)
      if (index.offsets[k]) by_offset.emplace_back(index.offsets[k], k + 1);
    std::sort(by_offset.begin(), by_offset.end());
    for (auto [offset, dno] : by_offset) {
      RecordHead head;
      std::span<const uint8_t> at = offset <= file.size() ? file.subspan(offset) : std::span<const uint8_t>();
      if (uint32_t e = parse_record_head(at, dno, offset, file.size(), head); e != kOk) return e;
      old_records.emplace_back(dno, file.subspan(offset, kRecordHeadSize + head.compressed_size));
    }
  }

  out.head.assign(kHeadSize, 0);
  uint8_t* h = out.head.data();
  std::memcpy(h, kMagic, 4);
  store_u32(h + 4, kVersion);
  store_u32(h + 12, kTableEntries);
  out.pieces.push_back(out.head);
  uint64_t pos = kHeadSize;
  std::array<bool, kTableEntries> placed{};
  auto place = [&](uint32_t dno, std::span<const uint8_t> record) {
    store_u32(h + kTableOffset + 4 * (dno - 1), static_cast<uint32_t>(pos));
    out.pieces.push_back(record);
    placed[dno - 1] = true;
    ++out.record_count;
    pos += record.size();
    return pos <= kMaxFileSize;
  };
  for (auto [dno, record] : old_records)
    if (!place(dno, fresh[dno - 1] ? *fresh[dno - 1] : record)) return kErrCannotWrite;
  for (uint32_t k = 0; k < kTableEntries; ++k)
    if (fresh[k] && !placed[k] && !place(k + 1, *fresh[k])) return kErrCannotWrite;
  store_u32(h + 8, out.record_count);
  out.size = pos;
  return kOk;
}

}  // namespace nv::save
