// The bytes of a title configuration file (nvbin\nvcfg.nbn) with the fields
// the tests vary; the other fields hold valid values.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace nv::test {

inline void put32(std::vector<uint8_t>& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
}

inline std::vector<uint8_t> config_file(int32_t w, int32_t h, const std::string& caption, int32_t thread = 0) {
  std::vector<uint8_t> b(66 + caption.size(), 0);
  std::memcpy(b.data(), "NVCF", 4);
  put32(b, 4, 404);
  put32(b, 8, 1);
  put32(b, 16, w);
  put32(b, 20, h);
  put32(b, 24, 1);
  const uint8_t img[8] = {2, 1, 3, 4, 0, 0, 0, 0};
  std::memcpy(b.data() + 28, img, 8);
  b[36] = 2;
  b[37] = 1;
  put32(b, 40, thread);
  b[64] = uint8_t(caption.size());
  b[65] = uint8_t(caption.size() >> 8);
  std::memcpy(b.data() + 66, caption.data(), caption.size());
  return b;
}

}  // namespace nv::test
