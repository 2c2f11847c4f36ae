#include "formats/title_config.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "formats/user_settings.h"
#include "tests/support/config_bytes.h"

namespace nv {
namespace {

using test::config_file;
using test::put32;

TEST(EngineConfig, ReadsFieldsAndApplyTheLimits) {
  EngineConfig c;
  EXPECT_EQ(parse_engine_config(config_file(800, 600, "Demo"), c), 0u);
  EXPECT_EQ(c.screen_width, 800);
  EXPECT_EQ(c.caption, "Demo");
  EXPECT_EQ(c.image_order[0], 2);
  EXPECT_EQ(c.sound_order[0], 2);
  EXPECT_EQ(parse_engine_config(config_file(0, 0, ""), c), 0u);  // desktop size
  EXPECT_EQ(c.caption, " ");                                     // empty caption becomes a blank
  EXPECT_EQ(parse_engine_config(config_file(100, 600, "x"), c), 901020u);
  EXPECT_EQ(parse_engine_config(config_file(128, 16, "x"), c), 0u);
  EXPECT_EQ(parse_engine_config(config_file(2049, 600, "x"), c), 901020u);
  EXPECT_EQ(parse_engine_config(config_file(0, 600, "x"), c), 901020u);
  EXPECT_EQ(parse_engine_config(config_file(640, 480, "x", 2), c), 901020u);
  EXPECT_EQ(parse_engine_config(config_file(640, 480, std::string(128, 'a')), c), 0u);
  EXPECT_EQ(parse_engine_config(config_file(640, 480, std::string(129, 'a')), c), 901000u);
}

TEST(EngineConfig, TruncatedFilesAreDataErrorsNotReadsPastTheEnd) {
  EngineConfig c;
  auto f = config_file(640, 480, "caption");
  EXPECT_EQ(parse_engine_config(std::span(f.data(), 60), c), 900000u);
  EXPECT_EQ(parse_engine_config(std::span(f.data(), f.size() - 1), c), 900000u);
}

// The file holds one record; a count claiming more (or none) is damage.
TEST(EngineConfig, ARecordCountOtherThanOneIsADataError) {
  EngineConfig c;
  auto f = config_file(640, 480, "caption");
  for (int32_t count : {0, 2, -1, 0x7FFFFFFF}) {
    put32(f, 8, count);
    EXPECT_EQ(parse_engine_config(f, c), 900000u) << count;
  }
  put32(f, 8, 1);
  EXPECT_EQ(parse_engine_config(f, c), 0u);
}

TEST(UserSettings, OnlyZeroOrOneTakeEffect) {
  std::vector<uint8_t> f(128, 0);
  put32(f, 0, 0);   // word 0: MCI
  put32(f, 8, 2);   // word 2: ignored
  put32(f, 16, 0);  // word 4: one worker
  put32(f, 24, 1);  // word 6: stretch
  UserSettings s;
  apply_user_settings(f, s);
  EXPECT_FALSE(s.movie_player_directshow);
  EXPECT_TRUE(s.allow_second_routines);
  EXPECT_FALSE(s.two_workers);
  EXPECT_TRUE(s.stretch_fullscreen);
  UserSettings t;
  apply_user_settings(std::span(f.data(), 6), t);  // only word 0 is there
  EXPECT_FALSE(t.movie_player_directshow);
  EXPECT_TRUE(t.two_workers);
}

}  // namespace
}  // namespace nv
