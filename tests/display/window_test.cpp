// Title-level tests of the windows: WINDOW in its step order and its
// errors, WINDOWEND, WINDOWINFO, the close box by CLOSEMODE, the requests
// for the scripts, dropped files, shapes and drag layers.
#include <gtest/gtest.h>

#include <fstream>

#include "display/window_events.h"
#include "graphics/png_encode.h"
#include "host/engine.h"
#include "platform/encoding.h"
#include "platform/headless/display_headless.h"
#include "platform/headless/platform_headless.h"
#include "tests/support/title_run.h"

namespace nv::test {
namespace {

platform::HeadlessDisplay& display(TitleRun& r) { return *platform::headless_display(r.host()); }

void write_png(TitleRun& r, const std::string& name, int w, int h, const std::vector<uint32_t>& px) {
  std::vector<uint8_t> bytes = gfx::encode_png(px.data(), w, h, true);
  std::ofstream(r.dir() / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(Window, ChangingAMissingSubWindowWithoutCaptionIs101320) {
  TitleRun r("WINDOW[NO=2 A=256]\n");
  r.run(3);
  EXPECT_TRUE(r.stopped());
  EXPECT_NE(r.first_error().find("存在しないウィンドウに対して属性変更をしようとしました。"), std::string::npos)
      << r.first_error();
  EXPECT_FALSE(display(r).window(2).exists);
}

TEST(Window, TheMainWindowCannotBeEndedAndKeepsItsZAndCloseModeInRange) {
  {
    TitleRun r("WINDOWEND[NO=0]\n");
    ASSERT_TRUE(r.start()) << r.messages();
    r.run(3);
    EXPECT_NE(r.first_error().find("[NO=0]\n\nメインウィンドウは消去できません。"), std::string::npos) << r.first_error();
    EXPECT_TRUE(display(r).window(0).exists);
    EXPECT_TRUE(display(r).window(0).shown);
  }
  {
    TitleRun r("WINDOW[NO=0 Z=3]\n");
    r.run(3);
    EXPECT_NE(r.first_error().find("[Z=3]\n\nメインウィンドウの場合は、設定できる値は 0 ～ 2 です。"), std::string::npos)
        << r.first_error();
  }
  {
    TitleRun r("WINDOW[NO=0 CLOSEMODE=3]\n");
    r.run(3);
    EXPECT_NE(r.first_error().find("[CLOSEMODE=3]"), std::string::npos) << r.first_error();
  }
}

TEST(Window, AAndEDecideWhetherASubWindowIsShown) {
  TitleRun r(R"(WINDOW[NO=1 CAPTION="sub"]
WAIT[FRAME=1]
WINDOW[NO=1 E=0]
WAIT[FRAME=1]
WINDOW[NO=1 A=0 E=1]
WAIT[FRAME=1]
WINDOW[NO=1 A=256]
WAIT[FRAME=1]
WINDOWEND[NO=1]
WAIT[FRAME=100]
)");
  ASSERT_TRUE(r.start()) << r.messages();
  const auto& w = display(r).window(1);
  r.run(1);
  ASSERT_TRUE(w.exists) << r.first_error();
  EXPECT_TRUE(w.shown);
  EXPECT_EQ(w.spec.client_width, 128);  // the default size
  EXPECT_EQ(w.spec.client_height, 128);
  EXPECT_EQ(platform::sjis_to_utf8(w.spec.caption), "sub");
  r.run(1);
  EXPECT_FALSE(w.shown) << "E=0 hides";
  r.run(1);
  EXPECT_FALSE(w.shown) << "E=1 with A=0 stays hidden";
  r.run(1);
  EXPECT_TRUE(w.shown);
  r.run(1);
  EXPECT_TRUE(w.exists) << "WINDOWEND only hides";
  EXPECT_FALSE(w.shown);
  EXPECT_EQ(r.first_error(), "");
}

TEST(Window, SizePositionZAndInfo) {
  TitleRun r(R"(INT ex0, ex3, sx, sy, x, y, fs, a
STR cap
WINDOW[NO=1 CAPTION="キャプション" SX=300 SY=200]
WINDOW[NO=1 X=40 Y=30 Z=2 SX=320]
WINDOWINFO[NO=0 EXIST=1 LET=ex0]
WINDOWINFO[NO=3 EXIST=1 LET=ex3]
WINDOWINFO[NO=1 SX=1 LET=sx]
WINDOWINFO[NO=1 SY=1 LET=sy]
WINDOWINFO[NO=1 X=1 LET=x]
WINDOWINFO[NO=1 Y=1 LET=y]
WINDOWINFO[NO=1 CAPTION=1 LET=cap]
WINDOWINFO[NO=0 FULLSCREEN=1 LET=fs]
WINDOWINFO[NO=1 A=1 LET=a]
WAIT[FRAME=100]
)");
  ASSERT_TRUE(r.start()) << r.messages();
  r.run(2);
  ASSERT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("ex0"), 1);
  EXPECT_EQ(r.int_var("ex3"), 0);
  EXPECT_EQ(r.int_var("sx"), 320);
  EXPECT_EQ(r.int_var("sy"), 200);
  EXPECT_EQ(r.int_var("x"), 40);
  EXPECT_EQ(r.int_var("y"), 30);
  EXPECT_EQ(r.text_var("cap"), "キャプション");
  EXPECT_EQ(r.int_var("fs"), 0);
  EXPECT_EQ(r.int_var("a"), 256);
  const auto& w = display(r).window(1);
  EXPECT_EQ(w.spec.client_width, 320);  // only the client area changed
  EXPECT_EQ(w.spec.client_height, 200);
  EXPECT_EQ(display(r).stacking().back(), 1);  // Z=2: the bottom
  // The main window is centred on the 1024 x 768 desktop.
  platform::Rect main = display(r).outer_rect(0);
  EXPECT_EQ(main.left + main.right, 1024);
}

TEST(Window, TheCloseBoxFollowsCloseMode) {
  // 0: the script is asked through SYS_CLOSE.
  {
    TitleRun r("LOOP\nIF SYS_CLOSE == 1\nEND\nIFEND\nWAIT[FRAME=1]\nLOOPEND\n");
    ASSERT_TRUE(r.start()) << r.messages();
    r.run(2);
    display(r).inject([](platform::WindowEvents& s) { s.on_close_box(0); });
    r.run(5);
    EXPECT_TRUE(r.stopped());
    EXPECT_EQ(r.first_error(), "");
  }
  // 1: the user is asked; No keeps the engine running, Yes ends it.
  for (auto answer : {platform::AnswerPolicy::no, platform::AnswerPolicy::yes}) {
    TitleOptions opt;
    opt.answer = answer;
    TitleRun r("WINDOW[NO=0 CLOSEMODE=1]\nWAIT[FRAME=1000]\n", opt);
    ASSERT_TRUE(r.start()) << r.messages();
    r.run(2);
    display(r).inject([](platform::WindowEvents& s) { s.on_close_box(0); });
    r.run(2);
    EXPECT_NE(r.dialogs().find("終了します。よろしいですか？"), std::string::npos) << r.dialogs();
    EXPECT_EQ(r.stopped(), answer == platform::AnswerPolicy::yes);
    EXPECT_EQ(display(r).window(0).exists, answer == platform::AnswerPolicy::no);
  }
  // 3 closes a sub-window only; a later WINDOW needs a CAPTION again.
  {
    TitleRun r("WINDOW[NO=1 CAPTION=\"s\" CLOSEMODE=3]\nWAIT[FRAME=2]\nWINDOW[NO=1 E=1]\n");
    ASSERT_TRUE(r.start()) << r.messages();
    r.run(1);
    display(r).inject([](platform::WindowEvents& s) { s.on_close_box(1); });
    r.run(1);
    EXPECT_FALSE(r.stopped());
    EXPECT_FALSE(display(r).window(1).exists);
    r.run(2);
    EXPECT_NE(r.first_error().find("存在しないウィンドウ"), std::string::npos) << r.first_error();
  }
}

TEST(Window, MinimiseAndMaximiseBecomeRequestsAndDropsReplaceTheList) {
  TitleRun r(R"(INT mx, mn, n
STR f
WINDOW[NO=1 CAPTION="s"]
WAIT[FRAME=2]
mx = SYS_MAXIMIZE
mn = SYS_MINIMIZE
n = SYS_DROPCOUNT
f = SYS_DROPFILE[1]
WAIT[FRAME=100]
)");
  ASSERT_TRUE(r.start()) << r.messages();
  r.run(1);
  display(r).inject([](platform::WindowEvents& s) {
    s.on_maximize_box(1);
    s.on_minimize_box(0);
    s.on_drop_files(0, {"old.txt"});
    s.on_drop_files(0, {"a.png", "b.png"});
  });
  r.run(2);
  ASSERT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("mx"), 2);
  EXPECT_EQ(r.int_var("mn"), 1);
  EXPECT_EQ(r.int_var("n"), 2);
  EXPECT_EQ(r.text_var("f"), "b.png");
  EXPECT_FALSE(display(r).window(0).minimized);  // MINMODE 0: the script decides
}

TEST(Window, ShapesComeFromTheNonBlackRunsOfALayer) {
  TitleRun r(R"(CG[ID="black" FILE="black.png" Z=1 E=0]
CG[ID="ring" FILE="ring.png" Z=1 E=0]
WINDOW[NO=0 REGIONID="black"]
WAIT[FRAME=1]
WINDOW[NO=0 REGIONID="ring"]
WAIT[FRAME=100]
)");
  write_png(r, "black.png", 4, 3, std::vector<uint32_t>(12, 0xFF000000u));
  // Row 0 all colour, row 1 colour at the ends, row 2 black.
  std::vector<uint32_t> ring = {0xFFFF0000u, 0xFF010000u, 0xFF000001u, 0xFFFFFFFFu,  //
                                0xFF00FF00u, 0xFF000000u, 0xFF000000u, 0xFF0000FFu,  //
                                0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u};
  write_png(r, "ring.png", 4, 3, ring);
  ASSERT_TRUE(r.start()) << r.messages();
  r.run(1);
  ASSERT_EQ(r.first_error(), "");
  EXPECT_TRUE(display(r).window(0).shaped);
  EXPECT_TRUE(display(r).window(0).shape.empty()) << "an all-black layer gives an empty shape";
  r.run(1);
  const auto& shape = display(r).window(0).shape;
  ASSERT_EQ(shape.size(), 3u);
  EXPECT_EQ((std::vector<int>{shape[0].left, shape[0].top, shape[0].right, shape[0].bottom}),
            (std::vector<int>{0, 0, 4, 1}));
  EXPECT_EQ((std::vector<int>{shape[1].left, shape[1].right, shape[2].left, shape[2].right}),
            (std::vector<int>{0, 1, 3, 4}));
}

TEST(Window, RegionAndDragNameExistingLayers) {
  TitleRun r("WINDOW[NO=0 DRAGID=\"nothing\"]\n");
  r.run(2);
  EXPECT_NE(r.first_error().find("指定したレイヤ[ID=nothing] が見つかりません。"), std::string::npos) << r.first_error();
  TitleRun s("WINDOW[NO=0 CGID=\"none/\"]\n");
  s.run(2);
  EXPECT_NE(s.first_error().find("指定したレイヤ[ID=none/] が見つかりません。"), std::string::npos) << s.first_error();
}

TEST(Window, ALeftPressOnANonBlackPixelOfTheDragLayerDragsTheWindow) {
  TitleRun r(R"(CG[ID="grip" FILE="grip.png" Z=1 X=100 Y=50]
WINDOW[NO=0 DRAGID="grip"]
WAIT[FRAME=100]
)");
  // 2 x 1: black at the left, white at the right.
  write_png(r, "grip.png", 2, 1, {0xFF000000u, 0xFFFFFFFFu});
  ASSERT_TRUE(r.start()) << r.messages();
  r.run(1);
  ASSERT_EQ(r.first_error(), "");
  platform::HeadlessDisplay& d = display(r);
  d.inject_left_press(0, 100, 50);  // black: no drag
  d.inject_left_press(0, 101, 50);  // white: drag
  d.inject_left_press(0, 102, 50);  // outside the layer
  r.run(1);
  EXPECT_EQ(d.window(0).drags, 1);
  EXPECT_EQ(r.engine().windows.flags.drag_window, 1);
  EXPECT_EQ(r.engine().windows.flags.drag_x, 101);
}

}  // namespace
}  // namespace nv::test
