#include <gtest/gtest.h>

#include <cstring>

#include "tests/graphics/image_files.h"

namespace nv::gfx {
namespace {

using test::decode_file;
using test::magick_pixels;
using test::make_image;

const char* kRose = "rose: -crop 13x9+20+10 +repage";

uint16_t bit_count_of(const std::string& path) {
  auto b = test::read_bytes(path);
  return b.size() > 30 ? uint16_t(b[28] | b[29] << 8) : 0;
}

// A bottom-up BMP with a 40-byte info header and zero pixels.
std::vector<uint8_t> bmp_header(int32_t w, int32_t h, uint16_t bits, size_t data_bytes, uint32_t palette = 0) {
  std::vector<uint8_t> b(54 + palette * 4 + data_bytes, 0);
  auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
  b[0] = 'B', b[1] = 'M';
  put32(2, uint32_t(b.size()));
  put32(10, uint32_t(54 + palette * 4));
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(h));
  b[26] = 1;
  b[28] = uint8_t(bits);
  put32(46, palette);
  return b;
}

TEST(BmpDecode, EveryDepthMatchesImageMagick) {
  test::TempDir dir;
  struct Case { std::string args, name; uint16_t bits; };
  const Case cases[] = {
      {std::string(kRose) + " -type bilevel -compress none", "BMP3:d1.bmp", 1},
      {std::string(kRose) + " -colors 16 -type palette -compress none", "BMP3:d4.bmp", 4},
      {std::string(kRose) + " -colors 200 -type palette -compress none", "BMP3:d8.bmp", 8},
      {std::string(kRose) + " -type truecolor", "BMP3:d24.bmp", 24},
      {"rose: -crop 3x5+30+20 +repage -type truecolor", "BMP3:w3.bmp", 24},
      {std::string(kRose) + " -alpha set -channel A -fx 'i<5?0.5:1' +channel", "BMP:d32.bmp", 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = make_image(dir, c.args, c.name);
    ASSERT_FALSE(path.empty());
    ASSERT_EQ(bit_count_of(path), c.bits);
    DecodedImage img;
    ASSERT_EQ(decode_file(path, img), 0u);
    const auto want = magick_pixels(path);
    ASSERT_EQ(size_t(img.width) * size_t(img.height), want.size());
    EXPECT_EQ(img.pixels, want);
    EXPECT_EQ(img.alpha, c.bits == 32);
  }
}

TEST(BmpDecode, ZeroAlphaIsTransparentGrey) {
  test::TempDir dir;
  const std::string path =
      make_image(dir, "-size 5x3 xc:red -alpha set -channel A -evaluate set 0 +channel", "BMP:z.bmp");
  ASSERT_EQ(bit_count_of(path), 32);
  DecodedImage img;
  ASSERT_EQ(decode_file(path, img), 0u);
  EXPECT_TRUE(img.alpha);
  EXPECT_EQ(img.pixels, std::vector<uint32_t>(15, kTransparentGrey));
}

TEST(BmpDecode, RefusedForms) {
  test::TempDir dir;
  const std::string rle = make_image(dir, std::string(kRose) + " -colors 16 -compress RLE", "BMP3:rle.bmp");
  DecodedImage img;
  EXPECT_EQ(decode_file(rle, img), kErrRleBmp);

  auto top_down = bmp_header(4, -4, 24, 48);
  EXPECT_EQ(decode_bmp(top_down, img), kErrTopDownBmp);
  auto not_bmp = bmp_header(4, 4, 24, 48);
  not_bmp[0] = 'X';
  EXPECT_EQ(decode_bmp(not_bmp, img), kErrNotBmp);
  auto low_offset = bmp_header(4, 4, 24, 48);
  low_offset[10] = 10;
  EXPECT_EQ(decode_bmp(low_offset, img), kErrBadBmp);
  // Rows beyond the end of the file, or an offset past it.
  auto short_rows = bmp_header(4, 4, 24, 47);
  EXPECT_EQ(decode_bmp(short_rows, img), kErrBadBmp);
  auto far_offset = bmp_header(4, 4, 24, 48);
  far_offset[13] = 0x7F;
  EXPECT_EQ(decode_bmp(far_offset, img), kErrBadBmp);
  // A palette said to be larger than the file.
  auto palette = bmp_header(4, 4, 8, 16, 2);
  palette[46] = 200;
  EXPECT_EQ(decode_bmp(palette, img), kErrBadBmp);
}

TEST(BmpDecode, SizeLimitHoldsBeforeAllocation) {
  DecodedImage img;
  // Headers alone: the limit is checked before rows are looked at.
  EXPECT_EQ(decode_bmp(bmp_header(8193, 1, 24, 0), img), kErrTooLarge);
  EXPECT_EQ(decode_bmp(bmp_header(1, 8193, 24, 0), img), kErrTooLarge);
  EXPECT_EQ(decode_bmp(bmp_header(0x7FFFFFFF, 0x7FFFFFFF, 32, 0), img), kErrTooLarge);
  EXPECT_TRUE(img.pixels.empty());
  // 8192 x 8192 at one bit per pixel (8 MiB of rows) loads.
  auto big = bmp_header(8192, 8192, 1, size_t(8192) / 8 * 8192, 2);
  std::memset(&big[54], 0xFF, 4);  // entry 0 white
  ASSERT_EQ(decode_image(FileType::bmp, big, img), 0u);
  EXPECT_EQ(img.width, 8192);
  EXPECT_EQ(img.height, 8192);
  EXPECT_EQ(img.pixels.front(), 0xFFFFFFFFu);
  EXPECT_EQ(img.pixels.back(), 0xFFFFFFFFu);
}

TEST(BmpDecode, OtherDepthsAreCleared) {
  auto b = bmp_header(2, 2, 16, 8);
  std::memset(&b[54], 0xAB, 8);
  DecodedImage img;
  ASSERT_EQ(decode_image(FileType::bmp, b, img), 0u);
  EXPECT_EQ(img.pixels, std::vector<uint32_t>(4, kTransparentGrey));
  EXPECT_FALSE(img.alpha);
}

}  // namespace
}  // namespace nv::gfx
