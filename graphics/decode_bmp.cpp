// The BMP reader: uncompressed 1, 4, 8, 24 and 32-bit bottom-up files with
// a Windows info header. Truncated or lying files give 100080.
#include <array>
#include <new>

#include "graphics/image.h"

namespace nv::gfx {

namespace {

uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

}  // namespace

uint32_t decode_bmp(std::span<const uint8_t> b, DecodedImage& out) {
  out = DecodedImage{};
  if (b.size() < 2 || b[0] != 'B' || b[1] != 'M') return kErrNotBmp;
  if (b.size() < 54) return kErrBadBmp;
  const uint32_t offset = le32(&b[10]);
  if (offset < 11) return kErrBadBmp;
  const uint32_t header_size = le32(&b[14]);
  if (header_size < 40 || header_size > b.size() - 14) return kErrBadBmp;
  const int32_t width = int32_t(le32(&b[18]));
  const int32_t height = int32_t(le32(&b[22]));
  const uint32_t bits = le16(&b[28]);
  const uint32_t compression = le32(&b[30]);
  const uint32_t colours_used = le32(&b[46]);
  if (width > kMaxImageSide || height > kMaxImageSide) return kErrTooLarge;
  if (height < 0) return kErrTopDownBmp;
  if (width <= 0 || height == 0) return kErrBadBmp;
  if ((bits == 4 || bits == 8) && compression != 0) return kErrRleBmp;

  // The palette follows the info header, whatever its version.
  std::array<uint32_t, 256> palette{};
  if (bits == 1 || bits == 4 || bits == 8) {
    const uint32_t full = 1u << bits;
    uint32_t count = colours_used == 0 || colours_used > full ? full : colours_used;
    const size_t start = 14 + size_t(header_size);
    if (start + size_t(count) * 4 > b.size()) return kErrBadBmp;
    for (uint32_t i = 0; i < count; ++i) palette[i] = le32(&b[start + i * 4]) | 0xFF000000u;
  }

  const size_t w = size_t(width), h = size_t(height);
  size_t row_bytes = 0;
  switch (bits) {
    case 1: row_bytes = (w + 31) / 32 * 4; break;
    case 4: row_bytes = (w + 7) / 8 * 4; break;
    case 8: row_bytes = (w + 3) & ~size_t(3); break;
    case 24: row_bytes = (w * 3 + 3) & ~size_t(3); break;
    case 32: row_bytes = w * 4; break;
    default: break;  // other depths are left cleared
  }
  if (row_bytes && (offset > b.size() || (b.size() - offset) / row_bytes < h)) return kErrBadBmp;

  out.width = width;
  out.height = height;
  try {
    out.pixels.assign(w * h, 0);
  } catch (const std::bad_alloc&) {
    out.pixels.clear();
    return kErrNoMemory;
  }
  out.alpha = bits == 32;
  if (!row_bytes) return 0;
  for (size_t y = 0; y < h; ++y) {
    const uint8_t* src = b.data() + offset + (h - 1 - y) * row_bytes;
    uint32_t* dst = out.pixels.data() + y * w;
    switch (bits) {
      case 1:
        for (size_t x = 0; x < w; ++x) dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
        break;
      case 4:
        for (size_t x = 0; x < w; ++x) dst[x] = palette[(x & 1) ? src[x >> 1] & 15 : src[x >> 1] >> 4];
        break;
      case 8:
        for (size_t x = 0; x < w; ++x) dst[x] = palette[src[x]];
        break;
      case 24:
        for (size_t x = 0; x < w; ++x)
          dst[x] = 0xFF000000u | uint32_t(src[x * 3 + 2]) << 16 | uint32_t(src[x * 3 + 1]) << 8 | src[x * 3];
        break;
      case 32:
        for (size_t x = 0; x < w; ++x) dst[x] = le32(src + x * 4);
        break;
    }
  }
  return 0;
}

}  // namespace nv::gfx
