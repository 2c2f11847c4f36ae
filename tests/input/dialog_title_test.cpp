// Title-level tests of DIALOG, CLIPACT/CLIPINFO and TRAY in headless runs.
#include <gtest/gtest.h>

#include <cstdlib>

#include "input/key_names.h"
#include "input/scripted_input.h"
#include "platform/encoding.h"
#include "platform/headless/platform_headless.h"
#include "tests/support/shell.h"
#include "tests/support/title_run.h"

namespace nv::test {
namespace {

void script(TitleRun& r, const std::string& text) {
  ASSERT_TRUE(r.start()) << r.messages();
  std::string error;
  ASSERT_TRUE(input::parse_scripted_input(text, "in", input::virtual_key_of_name, r.engine().input.script, error)) << error;
}

TEST(DialogsInTitles, EveryButtonSetAndAnswerGivesOneTwoOrThree) {
  struct Case {
    const char* buttons;
    const char* answer;
    int64_t value;
  } cases[] = {
      {"", "ok", 1},           {"", "cancel", 1},           {"OKCANCEL=1", "ok", 1},   {"OKCANCEL=1", "cancel", 2},
      {"YESNO=1", "yes", 1},   {"YESNO=1", "no", 2},        {"YESNO=1", "cancel", 2},  {"YESNOCANCEL=1", "yes", 1},
      {"YESNOCANCEL=1", "no", 2}, {"YESNOCANCEL=1", "cancel", 3}, {"OKCANCEL=1 YESNOCANCEL=1", "cancel", 3},
  };
  for (const Case& c : cases) {
    TitleRun r(std::string("G_INT v = -5\n*SYSTEM_START\nWAIT[FRAME=1]\nDIALOG[STR=\"q\" LET=v ") + c.buttons + "]\n");
    script(r, std::string("1 answer ") + c.answer + "\n");
    r.run(5);
    EXPECT_EQ(r.int_var("v"), c.value) << c.buttons << " " << c.answer;
    EXPECT_EQ(r.dialog_count(), 0u);  // answered by the script, never shown
  }
  // Without a scripted answer the policy answers: the default button.
  TitleRun r("G_INT v = -5\n*SYSTEM_START\nDIALOG[STR=\"q\" CAPTION=\"c\" YESNOCANCEL=1 DEFBUTTON=3 LET=v]\n");
  r.run(5);
  EXPECT_EQ(r.int_var("v"), 3);
  EXPECT_NE(r.dialogs().find("[c] q"), std::string::npos);
}

TEST(DialogsInTitles, TheInputDialogTakesTypedTextUnderItsLimits) {
  TitleRun r(R"(G_INT ok1, ok2, ok3
G_STR s1, s2, s3
*SYSTEM_START
WAIT[FRAME=1]
DIALOG[INPUT=1 STR="名前" DEFSTR="既定" LET=ok1 LETSTR=s1]
DIALOG[INPUT=1 INPUTLIMIT=3 LET=ok2 LETSTR=s2]
DIALOG[INPUT=1 DEFSTR="既定" LET=ok3 LETSTR=s3]
)");
  script(r, "1 type 山田 太郎\n1 type abcdef\n");
  r.run(5);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("ok1"), 1);
  EXPECT_EQ(r.text_var("s1"), "山田 太郎");
  EXPECT_EQ(r.text_var("s2"), "abc");
  EXPECT_EQ(r.text_var("s3"), "既定");  // no answer left: headless answers with the default text
  EXPECT_EQ(r.int_var("ok3"), 1);
}

TEST(DialogsInTitles, TheInputDialogHoldsAtMost4095Bytes) {
  TitleRun r("G_STR s1, s2\nG_INT ok\n*SYSTEM_START\nWAIT[FRAME=1]\nDIALOG[INPUT=1 LET=ok LETSTR=s1]\n"
             "DIALOG[INPUT=1 LET=ok LETSTR=s2]\n");
  script(r, "1 type " + std::string(4094, 'x') + "漢字\n1 type " + std::string(4093, 'y') + "漢字\n");
  r.run(5);
  EXPECT_EQ(r.first_error(), "");
  // The double-byte character that would pass the 4095th byte is left out whole.
  EXPECT_EQ(platform::utf8_to_sjis(r.text_var("s1")), std::string(4094, 'x'));
  EXPECT_EQ(platform::utf8_to_sjis(r.text_var("s2")), std::string(4093, 'y') + platform::utf8_to_sjis("漢"));
}

TEST(ClipboardInTitles, ARoundTripCutsAt1024BytesOnACharacterBoundary) {
  TitleRun r(R"(G_STR big = "", back = ""
G_INT n = 0, failed = 1
*SYSTEM_START
LOOP 1023
  big += "a"
LOOPEND
big += "漢字"
CLIPACT[TEXT=1 SET=big]
CLIPINFO[TEXT=1 LET=back]
failed = 0
)");
  r.run(5);
  EXPECT_EQ(r.first_error(), "");
  EXPECT_EQ(r.int_var("failed"), 0);
  EXPECT_EQ(r.text_var("back"), std::string(1023, 'a'));
  // What a desktop program reads is the whole text.
  auto* clip = platform::headless_clipboard(r.host());
  ASSERT_TRUE(clip->utf8().has_value());
  EXPECT_EQ(clip->utf8()->size(), 1023u + 6u);
}

TEST(ClipboardInTitles, NoTextEndsTheTurnAndControlsAreDropped) {
  TitleRun r(R"(G_STR back = "none"
G_INT frame = 0
*SYSTEM_START
CLIPINFO[TEXT=1 LET=back]
frame = 1
)");
  ASSERT_TRUE(r.start());
  r.run(1);
  EXPECT_EQ(r.int_var("frame"), 0);  // the command failed: the task's turn ended
  r.run(1);
  EXPECT_EQ(r.int_var("frame"), 1);
  EXPECT_EQ(r.text_var("back"), "none");
  TitleRun c("G_STR back\n*SYSTEM_START\nCLIPINFO[TEXT=1 LET=back]\n");
  ASSERT_TRUE(c.start());
  platform::headless_clipboard(c.host())->set_utf8("one\r\ntwo\tthree");
  c.run(2);
  EXPECT_EQ(c.text_var("back"), "onetwothree");
}

TEST(TrayInTitles, ASixteenSquareLayerIsTheIconAnotherSizeShowsTheMessage) {
  TitleRun r(R"(CG[ID="icon" FILE="icon" Z=1]
CG[ID="wide" FILE="wide" Z=1]
TRAY[ID="icon" NAME="とても長いツールチップの文字列はここで切れるかどうかを確かめるためのものですよ" E=1 MENUID="tm/"]
)");
  ASSERT_TRUE(r.ok()) << r.messages();
  ASSERT_EQ(std::system(("convert -size 16x16 xc:'#336699' -fill '#FF0000' -draw 'point 3,2' " +
                         quoted(r.dir() / "icon.png") + " && convert -size 15x16 xc:white " + quoted(r.dir() / "wide.png"))
                            .c_str()),
            0);
  r.run(3);
  EXPECT_EQ(r.first_error(), "");
  auto* tray = platform::headless_tray(r.host());
  ASSERT_TRUE(tray->shown());
  const auto& px = tray->icon().pixels;
  ASSERT_EQ(px.size(), 256u);
  EXPECT_EQ(px[0], 0xFF336699u);
  EXPECT_EQ(px[2 * 16 + 3], 0xFFFF0000u);
  const std::string tip = tray->icon().tip;
  EXPECT_LE(tip.size(), 63u);
  EXPECT_EQ(platform::sjis_to_utf8(platform::utf8_to_sjis(platform::sjis_to_utf8(tip))), platform::sjis_to_utf8(tip));
  EXPECT_EQ(tip.size() % 2, 0u);  // all double-byte: cut between characters
  // The wrong size: the message and the program's icon.
  TitleRun w("CG[ID=\"wide\" FILE=\"wide\" Z=1]\nTRAY[ID=\"wide\" E=1]\n");
  ASSERT_EQ(std::system(("convert -size 15x16 xc:white " + quoted(w.dir() / "wide.png")).c_str()), 0);
  w.run(3);
  EXPECT_NE(w.dialogs().find("レイヤサイズが 16x16 ではありません。"), std::string::npos) << w.dialogs();
  EXPECT_EQ(platform::headless_tray(w.host())->icon().pixels, platform::program_tray_icon().pixels);
}

TEST(TrayInTitles, TheTrayMenuOpensOnTheIconsRequest) {
  TitleRun r(R"(G_INT got
MENU[ID="tm/" NAME="tm" Z=1]
MENU[ID="tm/x" NAME="X" Z=1 CODE=55]
TRAY[E=1 MENUID="tm/"]
WAIT[FRAME=3]
got = SYS_MENU
)");
  script(r, "1 menu 55\n");
  r.run(1);
  platform::headless_tray(r.host())->inject_context_menu(40, 50);
  r.run(5);
  EXPECT_EQ(r.int_var("got"), 55);
}

}  // namespace
}  // namespace nv::test

namespace nv::test {
namespace {

// With the script thread the dialogs, pop-ups and the clipboard are served
// by the main thread while the frame step waits for them.
TEST(UiWorkInTitles, TheScriptThreadHandsDialogsMenusAndTheClipboardToTheMainThread) {
  const char* title = R"(G_INT v, got, frames = 0
G_STR back, typed
MENU[ID="c/" NAME="c" Z=1]
MENU[ID="c/x" NAME="X" Z=1 CODE=9]
LOOP 20
  DIALOG[STR="q" YESNO=1 LET=v]
  DIALOG[INPUT=1 DEFSTR="d" LET=v LETSTR=typed]
  CLIPACT[TEXT=1 SET="kana かな"]
  CLIPINFO[TEXT=1 LET=back]
  MENUACT[ID="c/" CONTEXT=1]
  MOUSE[X=10 Y=10 CURSOR=3]
  frames += 1
  WAIT[FRAME=1]
LOOPEND
got = SYS_MENU
END
)";
  for (const char* cfg : {"script_thread = 0\n", "script_thread = 1\n"}) {
    TitleRun r(title, {.config = std::string("width = 320\nheight = 240\n") + cfg, .answer = platform::AnswerPolicy::no});
    r.run(100);
    EXPECT_EQ(r.first_error(), "") << cfg;
    EXPECT_EQ(r.int_var("frames"), 20) << cfg;
    EXPECT_EQ(r.int_var("v"), 1) << cfg;
    EXPECT_EQ(r.text_var("typed"), "d") << cfg;
    EXPECT_EQ(r.text_var("back"), "kana かな") << cfg;
    EXPECT_EQ(r.dialog_count(), 20u) << cfg;  // the message boxes
  }
}

}  // namespace
}  // namespace nv::test
