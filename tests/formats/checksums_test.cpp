#include "formats/checksums.h"

#include <gtest/gtest.h>

namespace nv {
namespace {

TEST(Checksums, KnownValues) {
  EXPECT_EQ(crc32_of("abc"), 0x352441C2u);
  EXPECT_EQ(crc32_of("123456789"), 0xCBF43926u);
  EXPECT_EQ(crc32_of(""), 0u);
  EXPECT_EQ(adler32_of("Wikipedia", 1), 0x11E60398u);
  EXPECT_EQ(adler32_of("", 1), 1u);
  EXPECT_EQ(adler32_of("", 0), 0u);
  // Chaining over parts equals the whole.
  EXPECT_EQ(crc32_of("6789", crc32_of("12345")), crc32_of("123456789"));
}

}  // namespace
}  // namespace nv
