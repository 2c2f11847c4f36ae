// The GIF reader (87a/89a): every frame goes into the frame table, the
// first one is drawn onto the logical screen. Reads past the end of the
// data give 0, so a truncated file ends in a bad block (100215).
#include <algorithm>
#include <cstring>
#include <new>

#include "graphics/gif_lzw.h"
#include "graphics/image.h"

namespace nv::gfx {

namespace {

struct Reader {
  std::span<const uint8_t> b;
  size_t pos = 0;
  uint8_t u8() { return pos < b.size() ? b[pos++] : (pos++, uint8_t(0)); }
  uint16_t u16() {
    uint16_t lo = u8();
    return uint16_t(lo | uint16_t(u8()) << 8);
  }
  void skip(size_t n) { pos = n > b.size() - std::min(pos, b.size()) ? b.size() + 1 : pos + n; }
  bool at_end() const { return pos >= b.size(); }
};

void read_colour_table(Reader& r, int entries, std::array<uint8_t, 768>& table) {
  table.fill(0);
  for (int i = 0; i < entries * 3; ++i) table[size_t(i)] = r.u8();
}

// Joins the sub-blocks up to the zero-length terminator (or the end).
void read_sub_blocks(Reader& r, std::vector<uint8_t>* into) {
  for (;;) {
    if (r.at_end()) return;
    const uint8_t n = r.u8();
    if (n == 0) return;
    const size_t start = std::min(r.pos, r.b.size());
    const size_t avail = std::min<size_t>(n, r.b.size() - start);
    if (into) into->insert(into->end(), r.b.begin() + ptrdiff_t(start), r.b.begin() + ptrdiff_t(start + avail));
    r.skip(n);
  }
}

// Frame row `y` (0-based in the file's order of rows) as a row of the image.
int32_t interlaced_row(int32_t n, int32_t height) {
  static constexpr int32_t kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  for (int p = 0; p < 4; ++p) {
    const int32_t count = height > kStart[p] ? (height - kStart[p] + kStep[p] - 1) / kStep[p] : 0;
    if (n < count) return kStart[p] + n * kStep[p];
    n -= count;
  }
  return -1;
}

}  // namespace

uint32_t decode_gif(std::span<const uint8_t> bytes, DecodedImage& out, size_t frame_budget) {
  out = DecodedImage{};
  Reader r{bytes};
  r.skip(6);
  int32_t screen_w = r.u16(), screen_h = r.u16();
  const uint8_t packed = r.u8();
  r.u8();  // background index
  r.u8();  // aspect
  if (screen_w > kMaxImageSide || screen_h > kMaxImageSide) return kErrTooLarge;
  std::array<uint8_t, 768> global{};
  if (packed & 0x80) read_colour_table(r, 1 << ((packed & 7) + 1), global);

  // Graphic control values for the next frame only.
  uint8_t disposal = 0, transparent_index = 0;
  bool transparent = false;
  uint16_t delay = 0, loop_count = 0;
  size_t used = 0;
  std::vector<uint8_t> codes, stream;
  for (;;) {
    const uint8_t block = r.u8();
    if (block == 0x3B) break;
    if (block == 0x21) {
      const uint8_t label = r.u8();
      if (label == 0xF9) {
        const uint8_t size = r.u8();
        const size_t start = r.pos;
        const uint8_t p = r.u8();
        disposal = (p >> 2) & 7;
        transparent = p & 1;
        if (transparent) out.alpha = true;
        delay = r.u16();
        transparent_index = r.u8();
        r.pos = start;
        r.skip(size);
        read_sub_blocks(r, nullptr);
      } else if (label == 0xFF) {
        std::vector<uint8_t> app;
        read_sub_blocks(r, &app);
        // "NETSCAPE2.0" or "ANIMEXTS1.0" (11 bytes), then 1, count lo, hi.
        if (app.size() >= 14 && app[11] == 1 &&
            (std::memcmp(app.data(), "NETSCAPE2.0", 11) == 0 || std::memcmp(app.data(), "ANIMEXTS1.0", 11) == 0))
          loop_count = uint16_t(app[12] | app[13] << 8);
      } else {
        read_sub_blocks(r, nullptr);  // comment, plain text and unknown extensions
      }
      continue;
    }
    if (block != 0x2C) return kErrGif;

    const int32_t left = r.u16(), top = r.u16(), fw = r.u16(), fh = r.u16();
    const uint8_t fp = r.u8();
    if (fw > kMaxImageSide || fh > kMaxImageSide) return kErrTooLarge;
    std::array<uint8_t, 768> palette = global;
    if (fp & 0x80) read_colour_table(r, 1 << ((fp & 7) + 1), palette);
    const int min_code_size = r.u8();
    codes.clear();
    read_sub_blocks(r, &codes);
    if (out.frames.size() >= kMaxGifFrames) {
      disposal = 0, transparent = false, delay = 0, transparent_index = 0;
      continue;  // parsed to stay in step, not kept
    }

    GifFrame f;
    f.disposal = disposal;
    f.transparent = transparent;
    f.delay = delay;
    f.transparent_index = transparent_index;
    f.loop_count = loop_count;
    f.palette = palette;
    // The kept rectangle is the part of the frame on the screen.
    f.left = std::min(left, screen_w);
    f.top = std::min(top, screen_h);
    f.width = std::min(left + fw, screen_w) - f.left;
    f.height = std::min(top + fh, screen_h) - f.top;
    const size_t kept = size_t(f.width) * size_t(f.height);
    const size_t full = size_t(fw) * size_t(fh);
    if (kept > frame_budget - used || full > frame_budget - used) {
      out.width = screen_w;
      out.height = screen_h;
      out.frames.clear();
      return kErrNoMemory;
    }
    used += kept;
    try {
      f.indices.assign(kept, 0);
      if (kept) {
        stream.assign(full, 0);
        lzw_decode(codes, min_code_size, stream);
        const bool interlaced = fp & 0x40;
        for (int32_t n = 0; n < fh; ++n) {
          const int32_t y = interlaced ? interlaced_row(n, fh) : n;
          if (y < 0 || top + y >= screen_h) continue;
          std::memcpy(f.indices.data() + size_t(top + y - f.top) * size_t(f.width),
                      stream.data() + size_t(n) * size_t(fw), size_t(f.width));
        }
      }
      out.frames.push_back(std::move(f));
    } catch (const std::bad_alloc&) {
      out.width = screen_w;
      out.height = screen_h;
      out.frames.clear();
      return kErrNoMemory;
    }
    disposal = 0, transparent = false, delay = 0, transparent_index = 0;
  }

  out.width = screen_w;
  out.height = screen_h;
  if (out.width == 0 || out.height == 0) {
    out = DecodedImage{};
    return kErrGif;
  }
  try {
    out.pixels.assign(size_t(screen_w) * size_t(screen_h), 0);
  } catch (const std::bad_alloc&) {
    out.frames.clear();
    return kErrNoMemory;
  }
  if (!out.frames.empty()) {
    const GifFrame& f = out.frames.front();
    for (int32_t y = 0; y < f.height; ++y) {
      uint32_t* dst = out.pixels.data() + size_t(f.top + y) * size_t(screen_w) + size_t(f.left);
      const uint8_t* src = f.indices.data() + size_t(y) * size_t(f.width);
      for (int32_t x = 0; x < f.width; ++x) {
        const uint8_t i = src[x];
        const uint8_t* c = &f.palette[size_t(i) * 3];
        const uint32_t a = f.transparent && i == f.transparent_index ? 0u : 0xFF000000u;
        dst[x] = a | uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | c[2];
      }
    }
  }
  return 0;
}

}  // namespace nv::gfx
