// The text commands run by small titles. Glyphs come from a stand-in with
// fixed advances that inks only each character's top-left pixel, keys are
// scripted, time is the virtual clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/graphics/layer_test_support.h"
#include "tests/support/title_run.h"
#include "tests/text/fake_glyphs.h"
#include "text/font_state.h"

namespace nv::test {
using text::test::FixedGlyphs;
using text::test::ScriptedKeys;
using text::TextState;
using text::TextItem;
using text::kNoTextKey;
namespace item = text::item;

namespace {

// A title whose text goes through the stand-in glyphs and scripted keys.
class TextTitle {
 public:
  explicit TextTitle(const std::string& source) : r(source) {
    if (!r.start()) return;
    text::ready_fonts(r.engine());
    r.engine().fonts.glyphs = std::make_unique<FixedGlyphs>();
    r.engine().text.keys = &keys;
  }
  // One frame with `key` down for it (state 1), or none.
  void frame(int key = -1) {
    if (key >= 0) keys.states[key] = 1;
    r.run(1);
    keys.states.clear();
  }
  void frames(int n) {
    for (int i = 0; i < n; ++i) frame();
  }
  // Top-left corners of the characters drawn in `layer` (pixels the
  // stand-in inked in white over the layer's opaque black).
  std::vector<std::pair<int, int>> drawn(const std::string& layer) {
    std::vector<std::pair<int, int>> p;
    gfx::LayerNode* n = layer_at(r.engine(), layer);
    if (!n || !n->layer) return p;
    const gfx::Layer& l = *n->layer;
    for (int y = 0; y < l.sy; ++y)
      for (int x = 0; x < l.sx; ++x)
        if (l.pixels[size_t(y * l.sx + x)] == 0xFFFFFFFFu) p.emplace_back(x, y);
    return p;
  }
  uint32_t last_code() { return r.engine().errors.last_code; }

  TitleRun r;
  ScriptedKeys keys;
};

constexpr const char* kWindow = R"(CG[ID="msg" FILE="" Z=5 SX=200 SY=60]
)";

TEST(FontCommand, NumbersAndRangesOfTheFontList) {
  TextTitle zero("G_INT z\nFONT[NO=z]\n");
  zero.frames(2);
  EXPECT_EQ(zero.last_code(), 101010u);
  TextTitle past("G_INT n\nFONTINFO[LET=n NUM=1]\nFONT[NO=n+1]\n");
  past.frames(2);
  EXPECT_EQ(past.last_code(), 101240u);
  const int64_t n = past.r.int_var("n");
  EXPECT_NE(past.r.first_error().find("FONT[NO=" + std::to_string(n + 1) + "]\n\nフォント番号がフォント総数 " +
                                      std::to_string(n) + " を超えています。"),
            std::string::npos)
      << past.r.first_error();
  TextTitle last("G_INT n\nFONTINFO[LET=n NUM=1]\nFONT[NO=n]\n");
  last.frames(2);
  EXPECT_EQ(last.r.dialog_count(), 0u) << last.r.dialogs();
  EXPECT_EQ(last.r.engine().text.attrs.font, last.r.int_var("n") - 1);
  TextTitle info("G_INT n\nFONTINFO[LET=n NO=0 NAME=1]\n");
  info.frames(2);
  EXPECT_EQ(info.last_code(), 101010u);
}

TEST(FontCommand, NamesSelectFamiliesThroughTheAliasTable) {
  TextTitle r(R"(G_STR start
G_STR mincho
G_STR unknown
G_INT lang
FONTINFO[LET=start NAME=1]
FONTINFO[LET=lang LANG=1]
FONT[NAME="ＭＳ 明朝"]
FONTINFO[LET=mincho NAME=1]
FONT[NAME="No Such Font"]
FONTINFO[LET=unknown NAME=1]
)");
  r.frames(2);
  EXPECT_EQ(r.r.dialog_count(), 0u) << r.r.dialogs();
  EXPECT_EQ(r.r.text_var("start"), "IPAゴシック");  // "ＭＳ ゴシック" comes first
  EXPECT_EQ(r.r.int_var("lang"), 0);
  EXPECT_EQ(r.r.text_var("mincho"), "IPA明朝");
  EXPECT_EQ(r.r.text_var("unknown"), "IPA明朝");
}

TEST(FontCommand, AssignmentKindsStayInsideEachRange) {
  TextTitle r(R"(G_INT sx
G_INT sy
G_INT c
G_INT c2
G_INT bold
FONT[SX=20 SY=30 COLOR=0xFFFF00 COLOR2=-1]
FONT[SX-=100 SY*=4294967301 COLOR+=0x1000 COLOR2+=-1 BOLD+=1]
FONT[BOLD+=1]
FONTINFO[LET=sx SX=1]
FONTINFO[LET=sy SY=1]
FONTINFO[LET=c COLOR=1]
FONTINFO[LET=c2 COLOR2=1]
FONTINFO[LET=bold BOLD=1]
)");
  r.frames(2);
  EXPECT_EQ(r.r.dialog_count(), 0u) << r.r.dialogs();
  EXPECT_EQ(r.r.int_var("sx"), 1);
  EXPECT_EQ(r.r.int_var("sy"), 256);
  EXPECT_EQ(r.r.int_var("c"), 0xFFFFFF);
  EXPECT_EQ(r.r.int_var("c2"), -1);
  EXPECT_EQ(r.r.int_var("bold"), 1);
}

TEST(FontCommand, SlotOneLeavesTheMessageAttributesAlone) {
  TextTitle r("G_INT sx\nFONT[SX=20]\nFONT[BNO=1 SX=40]\nFONT[SY=22]\nFONTINFO[LET=sx SX=1]\n");
  r.frames(2);
  EXPECT_EQ(r.r.int_var("sx"), 20);
  EXPECT_EQ(r.r.engine().fonts.slots[1].sx, 40);
  EXPECT_EQ(r.r.engine().fonts.slots[0].sy, 22);
  EXPECT_EQ(r.r.engine().fonts.slots[1].sy, 16);
}

TEST(FontInfo, FirstRequestedItemInItsOrderAndTheMeasure) {
  TextTitle r(R"(G_INT aa
G_INT pitch
G_INT w
G_INT h
G_INT empty
G_INT nothing
FONT[ANTIALIASING=1 SX=30 SY=18 COLOR=0x123456]
FONTINFO[LET=aa COLOR=1 ANTIALIASING=1]
FONTINFO[LET=pitch PITCH=1 NUM=0]
FONTINFO[LET=w X=1 SETSTR="あい"]
FONTINFO[LET=h Y=1 SETSTR="a"]
FONTINFO[LET=empty X=1 SETSTR=""]
FONTINFO[LET=nothing]
)");
  r.frames(2);
  EXPECT_EQ(r.r.dialog_count(), 0u) << r.r.dialogs();
  EXPECT_EQ(r.r.int_var("aa"), 1);
  EXPECT_EQ(r.r.int_var("pitch"), 0);
  EXPECT_EQ(r.r.int_var("w"), 30);  // the stand-in: a double-byte character is as wide as its size
  EXPECT_EQ(r.r.int_var("h"), 30);
  EXPECT_EQ(r.r.int_var("empty"), 0);
  EXPECT_EQ(r.r.int_var("nothing"), 0);
}

TEST(TextCommand, KeysTargetAndInfo) {
  TextTitle r(std::string(kWindow) + R"(G_INT mode
G_INT auto
TEXT[ID="msg" OUTPUTMODE=1 CLICKBUTTON=0 CLICKBUTTON2=300 SKIPBUTTON=17 AUTOPAGE=1 WAIT=40]
TEXTINFO[LET=mode OUTPUTMODE=1 AUTOPAGE=1]
TEXTINFO[LET=auto AUTOCLICK=1 AUTOPAGE=1]
)");
  r.frames(2);
  EXPECT_EQ(r.r.dialog_count(), 0u) << r.r.dialogs();
  const TextState& s = r.r.engine().text;
  EXPECT_EQ(s.click_keys[0], kNoTextKey);
  EXPECT_EQ(s.click_keys[1], 300);
  EXPECT_EQ(s.skip_keys[0], 17);
  EXPECT_EQ(s.wait_ms, 40u);
  EXPECT_EQ(s.target, "W0/msg");
  EXPECT_EQ(r.r.int_var("mode"), 1);
  EXPECT_EQ(r.r.int_var("auto"), 1);

  TextTitle missing("TEXT[ID=\"nowhere\"]\n");
  missing.frames(2);
  EXPECT_EQ(missing.last_code(), 101250u);
}

TEST(TextCommand, ValuesAndWordsQueueTheirCharacters) {
  TextTitle r(R"(G_INT n = -42
G_FLT f = 1.5
G_STR t = "a	b"
TEXT[OUTPUTMODE=0]
{n}{f}{t}
WAIT[FRAME=1000]
)");
  r.frames(1);
  std::string got;
  for (const TextItem& it : r.r.engine().text.items)
    if (it.kind == item::single) got += char(it.code);
  EXPECT_EQ(got, "-421.500000a b");  // the tab shows as a space
  EXPECT_EQ(r.r.engine().text.items.back().kind, item::end);
}

TEST(TextCommand, TooMuchTextIsRefusedWithNothingQueued) {
  TextTitle big("G_STR t\nLOOP 1025\n  t += \"x\"\nLOOPEND\n{t}\n");
  big.frames(2);
  EXPECT_EQ(big.last_code(), 102030u);
  EXPECT_TRUE(big.r.engine().text.items.empty());
}

// A line of text queues its characters, then RETURNCODE's items; the task
// waits until the output has shown them all.
TEST(TextOutput, ALineWaitsForItsClickAndPagesOnAutomatically) {
  TextTitle r(std::string(kWindow) + R"(G_INT after
TEXT[ID="msg" OUTPUTMODE=1 AUTOCLICK=1 AUTORETURN=1 CLICKBUTTON=1 WAIT=0]
FONT[SX=16 SY=16]
abc
after = 1
WAIT[FRAME=1000]
)");
  r.frames(3);
  EXPECT_EQ(r.drawn("W0/msg"), (std::vector<std::pair<int, int>>{{0, 0}, {8, 0}, {16, 0}}));
  EXPECT_TRUE(r.r.engine().text.click_wait);
  EXPECT_EQ(r.r.int_var("after"), 0);
  r.frame(2);  // a key that is not a click key
  r.frames(2);
  EXPECT_EQ(r.r.int_var("after"), 0);
  r.frame(1);
  r.frames(2);
  EXPECT_EQ(r.r.int_var("after"), 1);
  EXPECT_EQ(r.r.engine().text.cursor_y, 16);  // AUTORETURN
  EXPECT_EQ(r.r.dialog_count(), 0u) << r.r.dialogs();
}

// Two tasks waiting on the one queue: a click releases one click wait, and
// both go on when the queue is done.
TEST(TextOutput, OneClickReleasesOneWaitWithTwoTasksWaiting) {
  TextTitle r(std::string(kWindow) + R"(G_INT first_done
G_INT second_done
TEXT[ID="msg" OUTPUTMODE=1 AUTOCLICK=1 CLICKBUTTON=1]
TASK[ID="other" #=*other Z=5]
first
first_done = 1
WAIT[FRAME=1000]

*other
second
second_done = 1
WAIT[FRAME=1000]
)");
  r.frames(3);
  ASSERT_TRUE(r.r.engine().text.click_wait);
  r.frame(1);
  r.frames(3);
  EXPECT_TRUE(r.r.engine().text.click_wait);  // now on the second line's wait
  EXPECT_EQ(r.r.int_var("first_done"), 0);
  EXPECT_EQ(r.r.int_var("second_done"), 0);
  r.frame(1);
  r.frames(3);
  EXPECT_EQ(r.r.int_var("first_done"), 1);
  EXPECT_EQ(r.r.int_var("second_done"), 1);
  EXPECT_EQ(r.r.dialog_count(), 0u) << r.r.dialogs();
}

TEST(TextOutput, ATaskThatDoesNotWaitIsNotHeld) {
  TextTitle r(std::string(kWindow) + R"(G_INT ticks
TEXT[ID="msg" OUTPUTMODE=1 AUTOCLICK=1 CLICKBUTTON=1]
TASK[ID="ticker" #=*ticker Z=5]
held
WAIT[FRAME=1000]

*ticker
LOOP -1
  ticks += 1
  WAIT[FRAME=1]
LOOPEND
)");
  r.frames(10);
  EXPECT_TRUE(r.r.engine().text.click_wait);
  EXPECT_GE(r.r.int_var("ticks"), 8);
}

TEST(TextOutput, WithoutATargetOrAfterItsReleaseTheTextStillFinishes) {
  TextTitle none(R"(G_INT after
TEXT[OUTPUTMODE=1]
some text
after = 1
)");
  none.frames(4);
  EXPECT_EQ(none.r.int_var("after"), 1);
  EXPECT_EQ(none.r.dialog_count(), 0u) << none.r.dialogs();

  TextTitle released(std::string(kWindow) + R"(G_INT after
TEXT[ID="msg" OUTPUTMODE=1 WAIT=100]
TASK[ID="remover" #=*remover Z=5]
a long line that takes a while to show
after = 1
WAIT[FRAME=1000]

*remover
WAIT[FRAME=3]
CGEND[ID="msg"]
WAIT[FRAME=1000]
)");
  released.frames(6);
  EXPECT_EQ(layer_at(released.r.engine(), "W0/msg"), nullptr);
  released.frames(200);
  EXPECT_EQ(released.r.int_var("after"), 1);
  EXPECT_EQ(released.r.dialog_count(), 0u) << released.r.dialogs();
}

TEST(TextOutput, ClearDuringAClickWaitStartsAfresh) {
  TextTitle r(std::string(kWindow) + R"(TEXT[ID="msg" OUTPUTMODE=1 CLICKBUTTON=1]
hello
TEXT[CLICK=1]
WAIT[FRAME=3]
TEXT[CLEAR=1]
TEXT[PAGE=1]
WAIT[FRAME=1000]
)");
  r.frames(3);
  ASSERT_TRUE(r.r.engine().text.click_wait);
  r.frames(4);
  EXPECT_FALSE(r.r.engine().text.click_wait);
  EXPECT_TRUE(r.r.engine().text.items.empty());
  EXPECT_TRUE(r.drawn("W0/msg").empty());  // the page cleared the layer
}

TEST(TextOutput, OutputModeZeroAsksForAClearAndReleasesAtOnce) {
  TextTitle r(std::string(kWindow) + R"(G_INT after
TEXT[ID="msg" OUTPUTMODE=0]
a line
after = 1
)");
  r.frames(3);
  EXPECT_EQ(r.r.int_var("after"), 1);
  EXPECT_TRUE(r.r.engine().text.clear_request);
  EXPECT_TRUE(r.drawn("W0/msg").empty());
}

}  // namespace
}  // namespace nv::test
