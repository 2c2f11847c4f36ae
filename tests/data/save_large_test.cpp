// The largest image a save holds: an 8192 x 8192 layer, written to disk and
// read back (slow: about a gigabyte of memory moves).
#include <fstream>

#include "platform/file_replace.h"
#include "tests/data/save_test_support.h"
#include "tests/support/temp_dir.h"

namespace nv::save::test {
namespace {

TEST(SaveLarge, LayerOf8192By8192) {
  const int32_t side = kMaxImageSide;
  Bytes pixels(size_t(side) * 4 * side);
  for (size_t k = 0; k < pixels.size(); k += 4) {
    uint32_t v = static_cast<uint32_t>(k / 4 * 2654435761u);
    std::memcpy(&pixels[k], &v, 4);
  }
  Bytes payload, record;
  ASSERT_EQ(encode_image({side, side, true}, pixels, payload), kOk);
  ASSERT_EQ(make_record(1024, kImageData, payload, record), kOk);
  payload = Bytes();
  std::vector<std::span<const uint8_t>> spans = {record};
  FilePlan plan;
  ASSERT_EQ(plan_file(nullptr, spans, plan), kOk);

  nv::test::TempDir dir;
  std::string path = (dir.path() / "big.sd").string();
  ASSERT_TRUE(platform::replace_file(path, plan.pieces).ok());
  record = Bytes();
  std::ifstream in(path, std::ios::binary);
  Bytes file((std::istreambuf_iterator<char>(in)), {});

  RecordHead head;
  ASSERT_EQ(load(file, 1024, payload, head), kOk);
  ImagePayload image;
  ASSERT_EQ(decode_image_payload(payload, image), kOk);
  EXPECT_EQ(image.info.width, side);
  EXPECT_EQ(image.info.height, side);
  EXPECT_TRUE(image.info.alpha);
  ASSERT_EQ(image.pixels.size(), pixels.size());
  EXPECT_EQ(std::memcmp(image.pixels.data(), pixels.data(), pixels.size()), 0);
}

}  // namespace
}  // namespace nv::save::test
