#include "host/engine_config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

#include "host/engine.h"
#include "platform/encoding.h"
#include "platform/headless/platform_headless.h"
#include "tests/support/config_bytes.h"
#include "tests/support/temp_dir.h"

namespace nv {
namespace {

using test::config_file;

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
