// Window shapes from pixels, and the screen-saver switches.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "display/screen_saver.h"
#include "display/window_shape.h"
#include "host/engine.h"
#include "platform/encoding.h"
#include "platform/headless/display_headless.h"
#include "platform/headless/platform_headless.h"
#include "tests/support/temp_dir.h"

namespace nv::display {
namespace {

TEST(WindowShape, RunsIgnoreAlphaAndStopAtTheLimit) {
  // Alpha is ignored: 0x00000000 is black, 0x00000001 is not.
  const uint32_t row[5] = {0x00000001u, 0xFF000000u, 0x00000000u, 0xFF808080u, 0x12000000u};
  auto rects = shape_rects(row, 5, 1);
  ASSERT_TRUE(rects);
  ASSERT_EQ(rects->size(), 2u);
  EXPECT_EQ((*rects)[0].right, 1);
  EXPECT_EQ((*rects)[1].left, 3);
  EXPECT_EQ((*rects)[1].right, 4);

  // A checkerboard row of 2 x n pixels has n runs: 1999 fit, 2000 do not.
  auto board = [](int runs) { std::vector<uint32_t> px(size_t(runs) * 2, 0xFF000000u);
    for (int i = 0; i < runs; ++i) px[size_t(i) * 2] = 0xFFFFFFFFu;
    return px; };
  auto fits = board(1999);
  EXPECT_TRUE(shape_rects(fits.data(), 1999 * 2, 1));
  auto too_many = board(2000);
  EXPECT_FALSE(shape_rects(too_many.data(), 2000 * 2, 1));
}

ScreenSaverSwitch parse(std::vector<std::string> args) { return parse_screen_saver_switch(args); }

TEST(ScreenSaver, SwitchesChooseWhatTheTitleDoes) {
  EXPECT_EQ(parse({}).action, ScreenSaverAction::info);
  EXPECT_EQ(parse({"/c"}).action, ScreenSaverAction::info);
  EXPECT_EQ(parse({"-C", "--headless"}).action, ScreenSaverAction::info);
  EXPECT_EQ(parse({"/c:1234"}).action, ScreenSaverAction::run);
  EXPECT_EQ(parse({"/a"}).action, ScreenSaverAction::none);
  EXPECT_EQ(parse({"/s"}).action, ScreenSaverAction::run);
  EXPECT_EQ(parse({"--frames", "5", "title", "/s"}).action, ScreenSaverAction::run);
  ScreenSaverSwitch p = parse({"/p", "4711"});
  EXPECT_EQ(p.action, ScreenSaverAction::preview);
  EXPECT_EQ(p.parent, 4711u);
  EXPECT_EQ(parse({"-p:99"}).parent, 99u);
  EXPECT_EQ(parse({"/p"}).action, ScreenSaverAction::none) << "a preview without a window does nothing";
  EXPECT_EQ(parse({"/p", "x1"}).action, ScreenSaverAction::none);
}

TEST(ScreenSaver, InfoShowsTheMessageAndPreviewShowsThePicture) {
  test::TempDir dir;
  // A 2 x 1 24-bit BMP: blue, then red.
  const uint8_t bmp[] = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0,
                         24, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                         255, 0, 0, 0, 0, 255, 0, 0};
  std::ofstream(dir.path() / "preview.bmp", std::ios::binary).write(reinterpret_cast<const char*>(bmp), sizeof bmp);
  std::ostringstream err;
  platform::Platform host = platform::make_headless_platform({.title_dir = dir.str(), .err = &err});
  Engine e(host);
  EXPECT_EQ(run_screen_saver_switch(e, {ScreenSaverAction::info, 0}), 0);
  EXPECT_NE(err.str().find("スクリーンセーバー\n\nVersion 1.00"), std::string::npos) << err.str();
  EXPECT_EQ(run_screen_saver_switch(e, {ScreenSaverAction::preview, 77}), 0);
  const auto& p = platform::headless_display(host)->last_preview();
  EXPECT_EQ(p.parent, 77u);
  ASSERT_EQ(p.width, 2);
  ASSERT_EQ(p.height, 1);
  EXPECT_EQ(p.pixels[0] & 0xFFFFFFu, 0x0000FFu);
  EXPECT_EQ(p.pixels[1] & 0xFFFFFFu, 0xFF0000u);
}

}  // namespace
}  // namespace nv::display
