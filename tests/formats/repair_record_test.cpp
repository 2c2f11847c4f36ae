#include <gtest/gtest.h>

#include <random>

#include "formats/checksums.h"
#include "formats/repair_record.h"
#include "tests/support/pack_builder.h"

namespace nv {
namespace {

std::vector<uint8_t> random_bytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (uint8_t& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

// The block checks and parity of `data` (the record without its head).
std::vector<uint8_t> body_of(const std::vector<uint8_t>& data) {
  std::string rec = test::build_repair_record(std::string(data.begin(), data.end()));
  return {rec.begin() + kRepairHeadSize, rec.end()};
}

TEST(Repair, RestoresAnyOneDamagedBlock) {
  for (size_t n : {size_t{1}, size_t{1023}, size_t{1024}, size_t{1025}, size_t{4096}, size_t{10000}}) {
    std::vector<uint8_t> good = random_bytes(n, static_cast<uint32_t>(n));
    std::vector<uint8_t> body = body_of(good);
    uint32_t adler = adler32_of(good, 1);
    for (size_t block = 0; block * 1024 < n; ++block) {
      std::vector<uint8_t> bad = good;
      size_t first = block * 1024, last = std::min(n, first + 1024) - 1;
      bad[first] ^= 0xFF;
      bad[last] ^= 0x01;
      bad[(first + last) / 2] = static_cast<uint8_t>(bad[(first + last) / 2] + 1);
      EXPECT_TRUE(restore_from_parity(bad, adler, body)) << n << " block " << block;
      EXPECT_EQ(bad, good) << n << " block " << block;
    }
  }
}

TEST(Repair, TwoDamagedBlocksOrAWrongRecordFail) {
  std::vector<uint8_t> good = random_bytes(3000, 9);
  std::vector<uint8_t> body = body_of(good);
  uint32_t adler = adler32_of(good, 1);
  std::vector<uint8_t> bad = good;
  bad[5] ^= 1;
  bad[2000] ^= 1;
  EXPECT_FALSE(restore_from_parity(bad, adler, body));

  bad = good;
  bad[5] ^= 1;
  std::vector<uint8_t> short_body(body.begin(), body.end() - 1);
  EXPECT_FALSE(restore_from_parity(bad, adler, short_body));
  EXPECT_FALSE(restore_from_parity(bad, adler ^ 1, body));  // wrong expected checksum
  EXPECT_TRUE(restore_from_parity(bad, adler, body));
}

TEST(Repair, RecordHeadMustFitTheData) {
  EXPECT_EQ(repair_body_size(1024, 3, 3000), 3 * 2 + 1024);
  EXPECT_EQ(repair_body_size(1024, 0, 0), 1024);
  EXPECT_EQ(repair_body_size(1024, 2, 3000), -1);
  EXPECT_EQ(repair_body_size(512, 3, 3000), -1);
  EXPECT_EQ(repair_body_size(1024, -1, 3000), -1);
  EXPECT_EQ(repair_body_size(1024, 0x7FFFFFFF, 3000), -1);
}

}  // namespace
}  // namespace nv
