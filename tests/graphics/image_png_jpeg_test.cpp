#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <zlib.h>

#include "tests/graphics/image_files.h"

namespace nv::gfx {
namespace {

using test::decode_file;
using test::magick_pixels;
using test::make_image;

const char* kRose = "rose: -crop 17x11+20+10 +repage";

int max_channel_difference(uint32_t a, uint32_t b) {
  int d = 0;
  for (int s = 0; s < 32; s += 8) d = std::max(d, std::abs(int((a >> s) & 255) - int((b >> s) & 255)));
  return d;
}

TEST(PngDecode, ColourTypesMatchImageMagick) {
  test::TempDir dir;
  struct Case { std::string args, name; bool alpha; bool depth16; };
  const std::string alpha_ramp = " -alpha set -channel A -fx 'i/w' +channel";
  const Case cases[] = {
      {std::string(kRose) + " -colorspace gray -define png:color-type=0", "grey.png", false, false},
      {std::string(kRose) + " -colorspace gray -type bilevel -define png:bit-depth=1 -define png:color-type=0",
       "grey1.png", false, false},
      {std::string(kRose) + " -colorspace gray" + alpha_ramp + " -define png:color-type=4", "greya.png", true, false},
      {std::string(kRose) + " -define png:color-type=2", "rgb.png", false, false},
      {std::string(kRose) + alpha_ramp + " -define png:color-type=6", "rgba.png", true, false},
      {std::string(kRose) + " -alpha set -channel A -fx 'i<6?0:1' +channel", "PNG8:pal.png", false, false},
      {std::string(kRose) + alpha_ramp + " -depth 16", "PNG64:rgba16.png", true, true},
      {std::string(kRose) + " -interlace PNG -define png:color-type=2", "inter.png", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = make_image(dir, c.args, c.name);
    ASSERT_FALSE(path.empty());
    DecodedImage img;
    ASSERT_EQ(decode_file(path, img), 0u);
    EXPECT_EQ(img.alpha, c.alpha);
    const auto want = magick_pixels(path, c.depth16);
    ASSERT_EQ(size_t(img.width) * size_t(img.height), want.size());
    EXPECT_EQ(img.pixels, want);
  }
}

TEST(PngDecode, PaletteTransparencyKeepsAlphaBytesButNotTheFlag) {
  test::TempDir dir;
  const std::string path = make_image(dir, "-size 4x1 xc:blue -alpha set -channel A -fx 'i<2?0:1' +channel", "PNG8:t.png");
  DecodedImage img;
  ASSERT_EQ(decode_file(path, img), 0u);
  EXPECT_FALSE(img.alpha);
  EXPECT_EQ(img.pixels, (std::vector<uint32_t>{kTransparentGrey, kTransparentGrey, 0xFF0000FFu, 0xFF0000FFu}));
}

TEST(PngDecode, GammaChunkIsAppliedForScreenGamma22) {
  test::TempDir dir;
  const std::string plain = make_image(dir, "-size 64x1 gradient:black-white -define png:color-type=2 -set gamma 0.45455", "g0.png");
  const std::string linear = make_image(dir, "-size 64x1 gradient:black-white -define png:color-type=2 -set gamma 1.0", "g1.png");
  DecodedImage a, b;
  ASSERT_EQ(decode_file(plain, a), 0u);
  ASSERT_EQ(decode_file(linear, b), 0u);
  const auto source = magick_pixels(plain);
  ASSERT_EQ(source.size(), 64u);
  // File gamma 1/2.2 on a 2.2 screen: unchanged but for the tables' rounding.
  for (size_t i = 0; i < 64; ++i) EXPECT_LE(max_channel_difference(a.pixels[i], source[i]), 1) << i;
  bool changed = false;
  for (size_t i = 0; i < 64; ++i) {
    const double v = double(source[i] & 255) / 255.0;
    const uint32_t g = uint32_t(std::lround(255.0 * std::pow(v, 1.0 / 2.2)));
    const uint32_t want = 0xFF000000u | g * 0x010101u;
    EXPECT_LE(max_channel_difference(b.pixels[i], want), 1) << i;
    changed |= b.pixels[i] != source[i];
  }
  EXPECT_TRUE(changed);
}

// A PNG of the given size, 1-bit grey, all rows zero.
std::vector<uint8_t> blank_png(uint32_t w, uint32_t h) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  auto chunk = [&](const char* type, const std::vector<uint8_t>& body) {
    const uint32_t n = uint32_t(body.size());
    for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(n >> s));
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    out.insert(out.end(), typed.begin(), typed.end());
    const uint32_t crc = uint32_t(crc32(0, typed.data(), uInt(typed.size())));
    for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(crc >> s));
  };
  std::vector<uint8_t> ihdr;
  for (uint32_t v : {w, h})
    for (int s = 24; s >= 0; s -= 8) ihdr.push_back(uint8_t(v >> s));
  ihdr.insert(ihdr.end(), {1, 0, 0, 0, 0});
  chunk("IHDR", ihdr);
  std::vector<uint8_t> raw(size_t((w + 7) / 8 + 1) * h, 0);
  uLongf packed_size = compressBound(uLong(raw.size()));
  std::vector<uint8_t> packed(packed_size);
  compress2(packed.data(), &packed_size, raw.data(), uLong(raw.size()), 1);
  packed.resize(packed_size);
  chunk("IDAT", packed);
  chunk("IEND", {});
  return out;
}

TEST(PngDecode, SizeLimit) {
  DecodedImage img;
  EXPECT_EQ(decode_png(blank_png(8193, 1), img), kErrTooLarge);
  EXPECT_EQ(decode_png(blank_png(1, 8193), img), kErrTooLarge);
  ASSERT_EQ(decode_image(FileType::png, blank_png(8192, 8192), img), 0u);
  EXPECT_EQ(img.width, 8192);
  EXPECT_EQ(img.pixels.back(), 0xFF000000u);
}

TEST(JpegDecode, ColourAndGreyMatchImageMagick) {
  test::TempDir dir;
  const std::string colour = make_image(dir, "rose: -quality 90", "c.jpg");
  const std::string progressive = make_image(dir, "rose: -interlace JPEG", "p.jpg");
  const std::string grey = make_image(dir, "rose: -colorspace gray -type grayscale", "g.jpg");
  for (const std::string& path : {colour, progressive, grey}) {
    SCOPED_TRACE(path);
    DecodedImage img;
    ASSERT_EQ(decode_file(path, img), 0u);
    EXPECT_EQ(img.width, 70);
    EXPECT_EQ(img.height, 46);
    EXPECT_FALSE(img.alpha);
    const auto want = magick_pixels(path);
    ASSERT_EQ(want.size(), img.pixels.size());
    int worst = 0;
    for (size_t i = 0; i < want.size(); ++i) worst = std::max(worst, max_channel_difference(img.pixels[i], want[i]));
    EXPECT_LE(worst, 1);
    if (path == grey) {
      for (uint32_t p : img.pixels) EXPECT_EQ(p, 0xFF000000u + (p & 255) * 0x010101u);
    }
  }
}

TEST(JpegDecode, SizeLimitAndBadFiles) {
  test::TempDir dir;
  const std::string path = make_image(dir, "rose:", "c.jpg");
  auto bytes = test::read_bytes(path);
  // Patch the frame header's height and width (SOF0: FF C0 len8 P8 H16 W16).
  for (size_t i = 0; i + 9 < bytes.size(); ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      bytes[i + 7] = 0x20, bytes[i + 8] = 0x01;  // width 8193
      break;
    }
  DecodedImage img;
  EXPECT_EQ(decode_jpeg(bytes, img), kErrTooLarge);
  const std::vector<uint8_t> junk = {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3};
  EXPECT_EQ(decode_jpeg(junk, img), kErrJpeg);
  EXPECT_EQ(decode_jpeg({}, img), kErrJpeg);
}

}  // namespace
}  // namespace nv::gfx
