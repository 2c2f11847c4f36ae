#include "graphics/png_encode.h"

#include <gtest/gtest.h>
#include <png.h>

#include <vector>

namespace nv::gfx {
namespace {

// Decodes with libpng's simplified reader into RGBA bytes.
std::vector<uint8_t> decode_rgba(const std::vector<uint8_t>& file, int& w, int& h) {
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&img, file.data(), file.size())) return {};
  img.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> px(PNG_IMAGE_SIZE(img));
  if (!png_image_finish_read(&img, nullptr, px.data(), 0, nullptr)) return {};
  w = int(img.width);
  h = int(img.height);
  return px;
}

TEST(PngEncode, RoundTripsChannelsInTheirPlaces) {
  const uint32_t px[6] = {0xFF0000FFu, 0x80FF0000u, 0x0000FF00u, 0xFF102030u, 0x00808080u, 0xFFFFFFFFu};
  int w = 0, h = 0;
  auto rgba = decode_rgba(encode_png(px, 3, 2, true), w, h);
  ASSERT_EQ(w, 3);
  ASSERT_EQ(h, 2);
  ASSERT_EQ(rgba.size(), 24u);
  EXPECT_EQ((std::vector<uint8_t>(rgba.begin(), rgba.begin() + 8)), (std::vector<uint8_t>{0, 0, 255, 255, 255, 0, 0, 0x80}));
  EXPECT_EQ(rgba[12], 0x10);  // row 2 starts with 0x102030
  EXPECT_EQ(rgba[14], 0x30);
  auto opaque = decode_rgba(encode_png(px, 3, 2, false), w, h);
  ASSERT_EQ(opaque.size(), 24u);
  EXPECT_EQ(opaque[7], 255);  // alpha dropped: every pixel opaque
  EXPECT_EQ(opaque[4], 255);
  EXPECT_TRUE(encode_png(px, 0, 2, true).empty());
}

}  // namespace
}  // namespace nv::gfx
