#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "graphics/gif_lzw.h"
#include "host/engine.h"
#include "platform/headless/platform_headless.h"
#include "platform/platform.h"
#include "resources/file_loader.h"
#include "tests/graphics/image_files.h"

namespace nv::gfx {
namespace {

using test::decode_file;
using test::magick_pixels;
using test::make_image;

TEST(GifDecode, TransparencyAndInterlacedTwin) {
  test::TempDir dir;
  const std::string src = "rose: -alpha set -channel A -fx 'i<9?0:1' +channel";
  const std::string plain = make_image(dir, src + " -interlace none", "plain.gif");
  const std::string inter = make_image(dir, src + " -interlace GIF", "inter.gif");
  ASSERT_NE(test::read_bytes(plain), test::read_bytes(inter));
  DecodedImage a, b;
  ASSERT_EQ(decode_file(plain, a), 0u);
  ASSERT_EQ(decode_file(inter, b), 0u);
  EXPECT_TRUE(a.alpha);
  EXPECT_EQ(a.width, 70);
  EXPECT_EQ(a.height, 46);
  EXPECT_EQ(a.pixels, magick_pixels(plain));
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_EQ(a.pixels[0], kTransparentGrey);
  ASSERT_EQ(a.frames.size(), 1u);
  EXPECT_TRUE(a.frames[0].transparent);
}

TEST(GifDecode, EveryFrameWithItsPlaceDelayAndLoops) {
  test::TempDir dir;
  const std::string path = make_image(
      dir,
      "-dispose none -delay 7 -size 20x12 xc:red "
      "-delay 30 \\( -size 6x4 xc:blue -repage 20x12+3+2 \\) "
      "-delay 45 \\( rose: -crop 9x5+30+20 -repage 20x12+11+7 \\) -loop 3",
      "anim.gif");
  DecodedImage img;
  ASSERT_EQ(decode_file(path, img), 0u);
  EXPECT_FALSE(img.alpha);
  EXPECT_EQ(img.width, 20);
  EXPECT_EQ(img.height, 12);
  EXPECT_EQ(img.pixels, std::vector<uint32_t>(240, 0xFFFF0000u));
  ASSERT_EQ(img.frames.size(), 3u);
  const std::vector<uint8_t> info = test::command_output("identify -format '%T %X %Y %w %h,' '" + path + "'");
  std::string expected;
  for (const GifFrame& f : img.frames)
    expected += std::to_string(f.delay) + " +" + std::to_string(f.left) + " +" + std::to_string(f.top) + " " +
                std::to_string(f.width) + " " + std::to_string(f.height) + ",";
  EXPECT_EQ(std::string(info.begin(), info.end()), expected);
  // The looping extension's count as stored (ImageMagick writes -loop 3 as 2 repeats).
  const auto raw = test::read_bytes(path);
  const std::string tag = "NETSCAPE2.0";
  const auto at = std::search(raw.begin(), raw.end(), tag.begin(), tag.end());
  ASSERT_NE(at, raw.end());
  EXPECT_EQ(img.frames[2].loop_count, at[13] | at[14] << 8);
  EXPECT_EQ(img.frames[2].loop_count, 2);
  // Later frames: their own pixels, as ImageMagick reads them.
  for (size_t n = 1; n < 3; ++n) {
    const GifFrame& f = img.frames[n];
    std::vector<uint32_t> colours;
    for (uint8_t i : f.indices)
      colours.push_back(0xFF000000u | uint32_t(f.palette[i * 3u]) << 16 | uint32_t(f.palette[i * 3u + 1]) << 8 |
                        f.palette[i * 3u + 2]);
    EXPECT_EQ(colours, magick_pixels(path + "[" + std::to_string(n) + "]")) << n;
  }
}

// A GIF with a 4-colour global table and one frame whose LZW codes are given.
std::vector<uint8_t> gif_with(uint16_t sw, uint16_t sh, uint16_t left, uint16_t top, uint16_t fw, uint16_t fh,
                              const std::vector<uint8_t>& lzw, int min_code_size = 2) {
  std::vector<uint8_t> g = {'G', 'I', 'F', '8', '9', 'a', uint8_t(sw), uint8_t(sw >> 8), uint8_t(sh),
                            uint8_t(sh >> 8), 0x81, 0, 0};
  g.insert(g.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255});
  g.insert(g.end(), {0x2C, uint8_t(left), uint8_t(left >> 8), uint8_t(top), uint8_t(top >> 8), uint8_t(fw),
                     uint8_t(fw >> 8), uint8_t(fh), uint8_t(fh >> 8), 0, uint8_t(min_code_size)});
  for (size_t i = 0; i < lzw.size(); i += 255) {
    const size_t n = std::min<size_t>(255, lzw.size() - i);
    g.push_back(uint8_t(n));
    g.insert(g.end(), lzw.begin() + ptrdiff_t(i), lzw.begin() + ptrdiff_t(i + n));
  }
  g.insert(g.end(), {0, 0x3B});
  return g;
}

// Packs codes LSB first, widening as a decoder that adds one entry per code does.
std::vector<uint8_t> pack_codes(const std::vector<int>& codes, int min_code_size) {
  std::vector<uint8_t> out;
  uint32_t acc = 0;
  int bits = 0, width = min_code_size + 1, next = (1 << min_code_size) + 2;
  bool first = true;
  for (int c : codes) {
    acc |= uint32_t(c) << bits;
    bits += width;
    while (bits >= 8) out.push_back(uint8_t(acc)), acc >>= 8, bits -= 8;
    if (c == 1 << min_code_size) {
      width = min_code_size + 1, next = (1 << min_code_size) + 2, first = true;
      continue;
    }
    if (!first && next < 4096 && ++next == (1 << width) && width < 12) ++width;
    first = false;
  }
  if (bits) out.push_back(uint8_t(acc));
  return out;
}

TEST(GifLzw, FullDictionaryKeepsDecodingWithoutAClear) {
  // 6000 literal codes with no clear: entries stop at 4096, width stays 12.
  std::vector<int> codes = {4};
  for (int i = 0; i < 6000; ++i) codes.push_back(i % 4);
  std::vector<uint8_t> out(6000, 9);
  ASSERT_EQ(lzw_decode(pack_codes(codes, 2), 2, out), 6000u);
  for (int i = 0; i < 6000; ++i) ASSERT_EQ(out[size_t(i)], i % 4) << i;
}

TEST(GifLzw, BadStreamsStopEarly) {
  std::vector<uint8_t> out(16, 9);
  // A code beyond the next entry to be defined.
  EXPECT_EQ(lzw_decode(pack_codes({4, 1, 7}, 2), 2, out), 1u);
  EXPECT_EQ(lzw_decode(pack_codes({4, 1}, 2), 0, out), 0u);
  EXPECT_EQ(lzw_decode(pack_codes({4, 1}, 2), 12, out), 0u);
  // The entry being defined (KwKwK) and the end code.
  EXPECT_EQ(lzw_decode(pack_codes({4, 1, 6, 5}, 2), 2, out), 3u);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 1);
  EXPECT_EQ(out[2], 1);
}

TEST(GifDecode, FramesOffTheScreenAndBadBlocks) {
  const auto codes = pack_codes({4, 3, 3, 3, 3, 3, 3, 5}, 2);
  DecodedImage img;
  // A frame that hangs over the right and bottom edges is clipped.
  ASSERT_EQ(decode_image(FileType::gif, gif_with(4, 4, 2, 3, 3, 2, codes), img), 0u);
  ASSERT_EQ(img.frames.size(), 1u);
  EXPECT_EQ(img.frames[0].width, 2);
  EXPECT_EQ(img.frames[0].height, 1);
  EXPECT_EQ(img.pixels[3 * 4 + 2], 0xFFFFFFFFu);
  EXPECT_EQ(img.pixels[3 * 4 + 3], 0xFFFFFFFFu);
  EXPECT_EQ(img.pixels[0], kTransparentGrey);  // not covered by the frame
  // Wholly outside.
  ASSERT_EQ(decode_image(FileType::gif, gif_with(4, 4, 60000, 60000, 3, 2, codes), img), 0u);
  EXPECT_EQ(img.frames[0].indices.size(), 0u);
  // Limits and bad blocks.
  EXPECT_EQ(decode_gif(gif_with(8193, 4, 0, 0, 1, 1, codes), img), kErrTooLarge);
  EXPECT_EQ(decode_gif(gif_with(4, 4, 0, 0, 65535, 65535, codes), img), kErrTooLarge);
  auto bad = gif_with(4, 4, 0, 0, 1, 1, codes);
  bad.back() = 0x42;
  EXPECT_EQ(decode_gif(bad, img), kErrGif);
  // More frame data than the budget allows is an allocation failure.
  EXPECT_EQ(decode_gif(gif_with(100, 100, 0, 0, 100, 100, codes), img, 5000), kErrNoMemory);
}

TEST(ImageDecode, EveryPrefixFailsCleanly) {
  test::TempDir dir;
  const std::string files[] = {
      make_image(dir, "rose: -crop 7x5+30+20 +repage -colors 16 -type palette -compress none", "BMP3:p.bmp"),
      make_image(dir, "rose: -crop 7x5+30+20 +repage", "BMP3:t.bmp"),
      make_image(dir, "rose: -crop 9x6+30+20 +repage -interlace PNG", "i.png"),
      make_image(dir, "rose: -crop 16x16+30+20 +repage -interlace JPEG", "p.jpg"),
      make_image(dir, "rose: -crop 16x16+30+20 +repage", "b.jpg"),
      make_image(dir, "-delay 5 rose: -crop 8x8+30+20 +repage -interlace GIF \\( +clone -negate \\)", "a.gif"),
  };
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    const auto bytes = test::read_bytes(path);
    ASSERT_GT(bytes.size(), 20u);
    DecodedImage img;
    ASSERT_EQ(decode_image(res::file_type_of_name(path), bytes, img), 0u);
    const bool jpeg = path.ends_with(".jpg");
    for (size_t n = 0; n < bytes.size(); ++n) {
      const std::span<const uint8_t> prefix(bytes.data(), n);
      const uint32_t code = decode_image(res::file_type_of_name(path), prefix, img);
      if (!jpeg || n + 2 < bytes.size()) {
        ASSERT_NE(code, 0u) << n;
      }
      if (code != 0) {
        EXPECT_TRUE(img.pixels.empty());
      }
    }
  }
}

TEST(ImageLoad, NamesTypesAndReports) {
  test::TempDir dir;
  make_image(dir, "-size 3x2 xc:lime", "pic.png");
  dir.write("pic.psd", "8BPS....");
  dir.write("noise.wav", "RIFF");
  dir.write("bad.gif", "GIF89a\x02\x00\x02\x00\x00\x00\x00!");
  std::ostringstream err;
  auto host = platform::make_headless_platform({.title_dir = dir.str(), .err = &err});
  Engine e(host);
  auto* dialogs = platform::headless_dialogs(host);

  DecodedImage img;
  host.clock->sleep_ms(1234);
  ASSERT_EQ(load_image(e, "pic.png", img), 0);
  EXPECT_EQ(img.width, 3);
  EXPECT_EQ(img.pixels, std::vector<uint32_t>(6, 0xFF00FF00u));
  EXPECT_EQ(img.loaded_at_ms, 1234u);
  for (const char* name : {"", "missing.png"}) {
    ASSERT_EQ(load_image(e, name, img), 0) << name;
    EXPECT_EQ(img.pixels, std::vector<uint32_t>{kTransparentGrey});
    EXPECT_FALSE(img.alpha);
  }
  EXPECT_TRUE(dialogs->shown().empty());
  EXPECT_FALSE(e.stop.load());

  EXPECT_EQ(load_image(e, "pic.psd", img), -1);
  EXPECT_TRUE(e.stop.load());
  EXPECT_EQ(dialogs->shown().size(), 1u);
  EXPECT_EQ(load_image(e, "noise.wav", img), -1);
  EXPECT_EQ(load_image(e, "bad.gif", img), -1);
  EXPECT_TRUE(img.pixels.empty());
}

TEST(ImageDecode, TypeCodes) {
  DecodedImage img;
  EXPECT_EQ(decode_image(FileType::psd, {}, img), kErrPsd);
  EXPECT_EQ(decode_image(FileType::ogg, {}, img), kErrUnsupportedFile);
  EXPECT_EQ(decode_image(FileType::unknown, {}, img), kErrUnsupportedFile);
}

}  // namespace
}  // namespace nv::gfx
