// Presentation at title level: what the main window shows after composed
// frames, compared with ImageMagick's compositing of the same pictures;
// blanking of a hidden set; a set's position; frame pacing of the frame step.
#include <gtest/gtest.h>

#include "host/engine.h"
#include "platform/headless/display_headless.h"
#include "platform/headless/platform_headless.h"
#include "tests/graphics/image_files.h"
#include "tests/support/title_run.h"

namespace nv::test {
namespace {

platform::HeadlessDisplay& display(TitleRun& r) { return *platform::headless_display(r.host()); }

std::vector<uint32_t> client_rgb(TitleRun& r, int& w, int& h) {
  std::vector<uint32_t> px = display(r).client_pixels(0, w, h);
  for (uint32_t& p : px) p &= 0xFFFFFFu;
  return px;
}

TitleOptions small_title() {
  TitleOptions o;
  o.config = "width = 128\nheight = 96\n";
  return o;
}

// Opaque pictures: the blend of mode 0 copies them, as ImageMagick's
// composition does. (Per-pixel alpha is not compared: the blend weights
// sa + 1, so a transparent pixel moves a darker destination by one step.)
TEST(Presentation, ComposedFramesMatchImageMagickCompositing) {
  TitleRun r(R"(CG[ID="bg" FILE="bg" Z=1]
CG[ID="sp" FILE="sprite" Z=2 X=10 Y=5]
CG[ID="sp2" FILE="sprite" Z=3 X=100 Y=70]
WAIT[FRAME=100]
)",
             small_title());
  const std::string d = r.dir().string();
  ASSERT_TRUE(run_command("convert -size 128x96 gradient:'#ff2000-#0040ff' -depth 8 '" + d + "/bg.png'"));
  ASSERT_TRUE(run_command("convert -size 24x24 xc:'#ffe000' +antialias -fill '#106010' -draw 'circle 12,12 12,4' -depth 8 '" + d +
                          "/sprite.png'"));
  ASSERT_TRUE(run_command("convert '" + d + "/bg.png' '" + d + "/sprite.png' -geometry +10+5 -composite '" + d +
                          "/sprite.png' -geometry +100+70 -composite '" + d + "/expected.png'"));
  ASSERT_TRUE(r.start()) << r.messages();
  r.run(2);
  ASSERT_EQ(r.first_error(), "");
  int w = 0, h = 0;
  std::vector<uint32_t> got = client_rgb(r, w, h);
  std::vector<uint32_t> want = magick_pixels(d + "/expected.png");
  ASSERT_EQ(w, 128);
  ASSERT_EQ(h, 96);
  ASSERT_EQ(want.size(), got.size());
  for (uint32_t& p : want) p &= 0xFFFFFFu;
  size_t differing = 0;
  for (size_t i = 0; i < got.size(); ++i) differing += got[i] != want[i];
  for (size_t i = 0; i < got.size() && differing; ++i)
    if (got[i] != want[i]) {
      ADD_FAILURE() << differing << " pixels differ, first at " << i % 128 << "," << i / 128 << ": " << std::hex
                    << got[i] << " instead of " << want[i];
      break;
    }
}

TEST(Presentation, ASetIsPresentedAtItsPositionAndBlankedOnceWhenHidden) {
  TitleRun r(R"(CG[ID=":s/" SX=128 SY=32 Z=1 X=10 Y=20]
CG[ID=":s/red" FILE="red" Z=1]
WINDOW[NO=0 CGID=":s/"]
WAIT[FRAME=2]
CG[ID=":s/" E=0]
WAIT[FRAME=5]
CG[ID=":s/" E=1]
WAIT[FRAME=100]
)",
             small_title());
  ASSERT_TRUE(run_command("convert -size 128x32 xc:'#ff0000' '" + r.dir().string() + "/red.png'"));
  ASSERT_TRUE(r.start()) << r.messages();
  r.run(1);
  ASSERT_EQ(r.first_error(), "");
  int w = 0, h = 0;
  std::vector<uint32_t> px = client_rgb(r, w, h);
  auto at = [&](int x, int y) { return px[size_t(y) * size_t(w) + size_t(x)]; };
  EXPECT_EQ(at(10, 20), 0xFF0000u);
  EXPECT_EQ(at(127, 51), 0xFF0000u);
  EXPECT_EQ(at(9, 20), 0u) << "10 right";
  EXPECT_EQ(at(10, 19), 0u) << "20 down";
  EXPECT_EQ(at(10, 52), 0u);
  const auto& win = display(r).window(0);
  const int presents = win.presents;
  r.run(1);
  EXPECT_EQ(win.presents, presents) << "an unchanged set is not copied again";
  r.run(1);  // E=0
  EXPECT_EQ(win.blanks, 1);
  r.run(3);
  EXPECT_EQ(win.blanks, 1) << "blanked once, not every frame";
  px = client_rgb(r, w, h);
  EXPECT_EQ(at(10, 20), 0u);
  r.run(3);  // E=1: shown again
  px = client_rgb(r, w, h);
  EXPECT_EQ(at(10, 20), 0xFF0000u);
}

TEST(Presentation, TheFrameStepPacesTheRateFpsSets) {
  TitleRun r("WAIT[FRAME=60]\nFPS[SET=30]\nWAIT[FRAME=1000]\n");
  ASSERT_TRUE(r.start()) << r.messages();
  platform::Clock& c = *r.host().clock;
  const uint32_t t0 = c.now_ms();
  r.run(60);
  EXPECT_NEAR(double(c.now_ms() - t0), 1000.0, 2.0);
  r.run(1);  // FPS SET=30 runs in this frame
  const uint32_t t1 = c.now_ms();
  r.run(30);
  EXPECT_NEAR(double(c.now_ms() - t1), 1000.0, 2.0);
  EXPECT_EQ(r.engine().pacing.rate, 30);
}

}  // namespace
}  // namespace nv::test
