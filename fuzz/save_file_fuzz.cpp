// Save files of arbitrary bytes: loading every data number never reads
// outside the file, and saving a record over the file either is refused or
// keeps every other record loading exactly as before.
//
// The first byte chooses how the rest becomes a file: 0 as it stands; 1
// after a valid head with two table entries taken from the input; 2 as the
// payload of one record (compressed here, so the payload checks are reached).
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "data/save_file.h"
#include "data/save_payload.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace nv::save;

void put_u32(Bytes& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(v >> (8 * k));
}

uint32_t get_u32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

Bytes valid_head() {
  Bytes f(kHeadSize, 0);
  std::memcpy(f.data(), "NVSD", 4);
  put_u32(f, 4, kVersion);
  put_u32(f, 12, kTableEntries);
  return f;
}

// The record's payload, or the error loading it gives.
uint32_t load(const Bytes& file, uint32_t dno, Bytes& payload) {
  payload.clear();
  RecordHead head;
  std::span<const uint8_t> stream;
  if (uint32_t e = find_record(file, dno, head, stream); e != kOk) return e;
  if (uint32_t e = inflate_record(head, stream, payload); e != kOk) return e;
  if (head.kind == kImageData) {
    ImagePayload image;
    uint32_t e = decode_image_payload(payload, image);
    if (e == kOk && image.pixels.size() != size_t(image.info.width) * 4 * size_t(image.info.height)) __builtin_trap();
    return e;
  }
  VariablePayload v;
  uint32_t e = decode_variable_payload(payload, v);
  if (e == kOk) {
    for (size_t k = 0; k < v.count && v.type != kText; ++k) (void)v.integer_at(k);
    if (v.type == kText && v.texts.size() != v.count) __builtin_trap();
  }
  return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* in, size_t size) {
  if (size < 1) return 0;
  Bytes file;
  const uint8_t* body = in + 1;
  size_t n = size - 1;
  switch (in[0] % 3) {
    case 0:
      file.assign(body, body + n);
      break;
    case 1: {
      if (n < 8) return 0;
      file = valid_head();
      put_u32(file, kTableOffset + 4 * (get_u32(body) % kTableEntries), get_u32(body + 4));
      put_u32(file, kTableOffset, kHeadSize);
      file.insert(file.end(), body + 8, body + n);
      break;
    }
    default: {
      if (n < 1) return 0;
      Bytes payload(body + 1, body + n), record;
      if (make_record(1, static_cast<Kind>(body[0] & 1), payload, record, Compressor::zlib) != kOk) return 0;
      if (body[0] & 2) put_u32(record, 12, static_cast<uint32_t>(payload.size() + (body[0] >> 2)));
      file = valid_head();
      put_u32(file, kTableOffset, kHeadSize);
      file.insert(file.end(), record.begin(), record.end());
      break;
    }
  }

  // The data numbers the table names, and one it may not.
  std::vector<uint32_t> numbers = {512};
  FileIndex index;
  if (parse_file_head(file, file.size(), index) == kOk)
    for (uint32_t k = 0; k < kTableEntries; ++k)
      if (index.offsets[k] && k + 1 != 512) numbers.push_back(k + 1);
  std::vector<uint32_t> before(numbers.size());
  std::vector<Bytes> payloads(numbers.size());
  for (size_t k = 0; k < numbers.size(); ++k) before[k] = load(file, numbers[k], payloads[k]);

  static const Bytes fresh = [] {
    Bytes payload, record;
    int64_t one = 7;
    encode_integers({}, std::span(&one, 1), payload);
    make_record(512, kVariableData, payload, record);
    return record;
  }();
  std::vector<std::span<const uint8_t>> records = {fresh};
  FilePlan plan;
  if (plan_file(&file, records, plan) != kOk) return 0;
  Bytes merged;
  for (auto piece : plan.pieces) merged.insert(merged.end(), piece.begin(), piece.end());
  if (merged.size() != plan.size) __builtin_trap();
  Bytes payload;
  if (load(merged, 512, payload) != kOk) __builtin_trap();
  for (size_t k = 1; k < numbers.size(); ++k) {
    // A record that loaded loads the same (one whose head was sound but its
    // stream damaged is copied as it is).
    uint32_t after = load(merged, numbers[k], payload);
    if (before[k] == kOk && (after != kOk || payload != payloads[k])) __builtin_trap();
  }
  FileIndex merged_index;
  if (parse_file_head(merged, merged.size(), merged_index) != kOk) __builtin_trap();
  uint32_t present = 0;
  for (uint32_t offset : merged_index.offsets) present += offset != 0;
  if (present != numbers.size() || merged_index.count != present) __builtin_trap();
  return 0;
}
