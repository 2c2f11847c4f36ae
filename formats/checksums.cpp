#include "formats/checksums.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace nv {

uint32_t crc32_of(std::span<const uint8_t> bytes, uint32_t crc) {
  uLong c = crc;
  const uint8_t* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    uInt n = static_cast<uInt>(std::min<size_t>(left, UINT_MAX));
    c = ::crc32(c, p, n);
    p += n;
    left -= n;
  }
  return static_cast<uint32_t>(c);
}

uint32_t adler32_of(std::span<const uint8_t> bytes, uint32_t adler) {
  uLong a = adler;
  const uint8_t* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    uInt n = static_cast<uInt>(std::min<size_t>(left, UINT_MAX));
    a = ::adler32(a, p, n);
    p += n;
    left -= n;
  }
  return static_cast<uint32_t>(a);
}

}  // namespace nv
