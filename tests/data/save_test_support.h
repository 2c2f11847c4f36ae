// Building save files in memory and reading every record back, for the
// tests of the save format.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/save_file.h"
#include "data/save_payload.h"

namespace nv::save::test {

using Bytes = std::vector<uint8_t>;
using Dims = std::vector<int32_t>;

inline Bytes read_host(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), {});
}

inline Bytes concat(const FilePlan& plan) {
  Bytes out;
  out.reserve(plan.size);
  for (auto piece : plan.pieces) out.insert(out.end(), piece.begin(), piece.end());
  return out;
}

// The file that results from saving `records` over `old` (none: a new file).
inline Bytes merge(const Bytes* old, const std::vector<Bytes>& records) {
  std::vector<std::span<const uint8_t>> spans(records.begin(), records.end());
  FilePlan plan;
  EXPECT_EQ(plan_file(old, spans, plan), kOk);
  return concat(plan);
}

inline Bytes int_record(uint32_t dno, std::vector<int32_t> dims, std::vector<int64_t> values) {
  Bytes payload, record;
  EXPECT_EQ(encode_integers(dims, values, payload), kOk);
  EXPECT_EQ(make_record(dno, kVariableData, payload, record), kOk);
  return record;
}

inline Bytes text_record(uint32_t dno, std::vector<int32_t> dims, const std::vector<std::string>& texts) {
  Bytes payload, record;
  EXPECT_EQ(encode_texts(dims, texts.size(), [&](size_t k) -> const std::string& { return texts[k]; }, payload), kOk);
  EXPECT_EQ(make_record(dno, kVariableData, payload, record), kOk);
  return record;
}

inline Bytes image_record(uint32_t dno, int32_t w, int32_t h, uint8_t seed, bool alpha = false) {
  Bytes pixels(size_t(w) * 4 * size_t(h));
  for (size_t k = 0; k < pixels.size(); ++k) pixels[k] = static_cast<uint8_t>(k * 7 + seed);
  Bytes payload, record;
  EXPECT_EQ(encode_image({w, h, alpha}, pixels, payload), kOk);
  EXPECT_EQ(make_record(dno, kImageData, payload, record), kOk);
  return record;
}

// Loads record `dno` as the engine does: find it, inflate it, check its
// payload by its kind. Returns kOk or the error number; `payload` keeps the
// inflated bytes.
inline uint32_t load(const Bytes& file, uint32_t dno, Bytes& payload, RecordHead& head) {
  std::span<const uint8_t> stream;
  if (uint32_t e = find_record(file, dno, head, stream); e != kOk) return e;
  if (uint32_t e = inflate_record(head, stream, payload); e != kOk) return e;
  if (head.kind == kImageData) {
    ImagePayload image;
    return decode_image_payload(payload, image);
  }
  VariablePayload var;
  return decode_variable_payload(payload, var);
}

inline uint32_t load(const Bytes& file, uint32_t dno) {
  Bytes payload;
  RecordHead head;
  return load(file, dno, payload, head);
}

inline uint32_t get_u32(const Bytes& b, size_t at) {
  return uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) | (uint32_t(b[at + 3]) << 24);
}

inline void set_u32(Bytes& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<uint8_t>(v >> (8 * k));
}

}  // namespace nv::save::test
