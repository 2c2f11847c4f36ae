#include "host/engine_config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

#include "host/engine.h"
#include "platform/encoding.h"
#include "platform/headless/platform_headless.h"
#include "tests/support/temp_dir.h"

namespace nv {
namespace {

void put32(std::vector<uint8_t>& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
}

std::vector<uint8_t> config_file(int32_t w, int32_t h, const std::string& caption, int32_t thread = 0) {
  std::vector<uint8_t> b(66 + caption.size(), 0);
  std::memcpy(b.data(), "NVCF", 4);
  put32(b, 4, 404);
  put32(b, 16, w);
  put32(b, 20, h);
  put32(b, 24, 1);
  const uint8_t img[8] = {2, 1, 3, 4, 0, 0, 0, 0};
  std::memcpy(b.data() + 28, img, 8);
  b[36] = 2;
  b[37] = 1;
  put32(b, 40, thread);
  b[64] = uint8_t(caption.size());
  b[65] = uint8_t(caption.size() >> 8);
  std::memcpy(b.data() + 66, caption.data(), caption.size());
  return b;
}

TEST(EngineConfig, LoadReportsItsErrorAndStops) {
  test::TempDir dir;
  auto f = config_file(100, 600, "x");
  dir.write("nvbin/nvcfg.nbn", std::string(f.begin(), f.end()));
  std::ostringstream err;
  auto p = platform::make_headless_platform({.title_dir = dir.str(), .err = &err});
  Engine e(p);
  EXPECT_EQ(load_engine_config(e), -1);
  EXPECT_TRUE(e.stop.load());
  EXPECT_NE(err.str().find("Nivalo Debug Info."), std::string::npos);
}

}  // namespace
}  // namespace nv
