// The text queue and its per-frame output without fonts: glyphs of fixed
// advance that ink only their top-left pixel, time given by the test, keys
// scripted.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/text/fake_glyphs.h"
#include "text/text_queue.h"
#include "text/text_step.h"

namespace nv::text {
namespace {

using Points = std::vector<std::pair<int, int>>;

class TextOutput : public ::testing::Test {
 protected:
  TextOutput() { resize(160, 100); }

  void SetUp() override {
    s.output_mode = 1;
    s.attrs.sx = s.attrs.sy = 16;
    s.click_keys = {15, kNoTextKey, kNoTextKey, kNoTextKey};
    s.skip_keys = {11, kNoTextKey, kNoTextKey, kNoTextKey};
  }
  void resize(int w, int h) {
    pixels.assign(size_t(w) * size_t(h), 0);
    surface = Surface{pixels.data(), w, h};
  }
  // One frame: the keys set for it, then released.
  StepResult step(uint64_t now_ms = 0) {
    s.keys = &keys;
    ++s.input_frame;
    StepResult r = step_text(s, &surface, glyphs, now_ms);
    keys.states.clear();
    return r;
  }
  void word(const std::string& sjis) { ASSERT_EQ(queue_word_text(s, sjis), 0); }
  // Top-left corners of the characters drawn since the last call.
  Points drawn() {
    Points p;
    for (int y = 0; y < surface.height; ++y)
      for (int x = 0; x < surface.width; ++x)
        if (pixels[size_t(y * surface.width + x)] >> 24) p.emplace_back(x, y);
    std::fill(pixels.begin(), pixels.end(), 0);
    return p;
  }
  std::string kinds() const {
    std::string k;
    for (const TextItem& it : s.items) k += it.kind;
    return k;
  }

  TextState s;
  test::FixedGlyphs glyphs;
  test::ScriptedKeys keys;
  std::vector<uint32_t> pixels;
  Surface surface;
};

// Shift-JIS text: n times あ.
std::string hiragana(int n) {
  std::string t;
  for (int i = 0; i < n; ++i) t += "\x82\xA0";
  return t;
}

TEST_F(TextOutput, AnOpeningBracketWithThreeCellsLeftStartsTheNextLine) {
  word(hiragana(6) + "\x81\x75" + hiragana(1));  // ああああああ「あ
  EXPECT_TRUE(step().done);
  Points p = drawn();
  ASSERT_EQ(p.size(), 8u);
  EXPECT_EQ(p[5], std::make_pair(80, 0));
  EXPECT_EQ(p[6], std::make_pair(0, 16));
  EXPECT_EQ(p[7], std::make_pair(16, 16));
  s.cursor_x = s.cursor_y = 0;
  word(hiragana(7));
  step();
  EXPECT_EQ(drawn().back(), std::make_pair(96, 0));  // anything else stays
}

TEST_F(TextOutput, AFullStopWithOneCellLeftStaysOnTheLine) {
  word(hiragana(8) + "\x81\x42" + hiragana(1));  // ああああああああ。あ
  step();
  Points p = drawn();
  ASSERT_EQ(p.size(), 10u);
  EXPECT_EQ(p[8], std::make_pair(128, 0));
  EXPECT_EQ(p[9], std::make_pair(0, 16));
  s.cursor_x = s.cursor_y = 0;
  word(hiragana(9));
  step();
  EXPECT_EQ(drawn().back(), std::make_pair(0, 16));
}

TEST_F(TextOutput, ExclamationAndQuestionStayTogether) {
  // ！ at 16 pixels with three cells left, then a ？ twice as large that
  // would not fit on its own.
  word(hiragana(7) + "\x81\x49");
  s.attrs.sx = 32;
  word("\x81\x48");
  step();
  Points p = drawn();
  ASSERT_EQ(p.size(), 9u);
  EXPECT_EQ(p[7], std::make_pair(112, 0));
  EXPECT_EQ(p[8], std::make_pair(128, 0));
  // The same ？ after another character moves to the next line.
  s.cursor_x = s.cursor_y = 0;
  s.attrs.sx = 16;
  word(hiragana(8));
  s.attrs.sx = 32;
  word("\x81\x48");
  step();
  EXPECT_EQ(drawn().back(), std::make_pair(0, 16));
}

TEST_F(TextOutput, AnExclamationAsTheLastItemIsDrawnAlone) {
  word(hiragana(7) + "\x81\x49");
  EXPECT_TRUE(step().done);
  Points p = drawn();
  ASSERT_EQ(p.size(), 8u);
  EXPECT_EQ(p[7], std::make_pair(112, 0));
}

TEST_F(TextOutput, TheBottomDropsTheRestUntilAPage) {
  // A layer 40 high holds two lines of 16: a line at y fits while
  // y + 16 + 2 < 40.
  resize(160, 40);
  word(hiragana(2));
  ASSERT_EQ(queue_controls(s, "R"), 0);
  word(hiragana(2));
  ASSERT_EQ(queue_controls(s, "R"), 0);
  word(hiragana(2));  // third line: below the bottom
  ASSERT_EQ(queue_controls(s, "R"), 0);
  word(hiragana(1));  // still below
  EXPECT_TRUE(step().done);
  EXPECT_EQ(drawn(), (Points{{0, 0}, {16, 0}, {0, 16}, {16, 16}}));
  EXPECT_TRUE(s.bottom_reached);
  ASSERT_EQ(queue_controls(s, "P"), 0);
  word(hiragana(1));
  step();
  EXPECT_EQ(drawn(), (Points{{0, 0}}));
  EXPECT_FALSE(s.bottom_reached);
}

TEST_F(TextOutput, DelaysAccumulateSoSeveralCharactersComeInOneFrame) {
  s.wait_ms = 10;
  word(hiragana(5) + "ab");  // delays 10 x 5, then 5, 5
  step(0);
  EXPECT_TRUE(drawn().empty());
  step(35);
  EXPECT_EQ(drawn().size(), 3u);
  step(40);
  EXPECT_EQ(drawn().size(), 1u);
  step(49);
  EXPECT_EQ(drawn().size(), 0u);
  EXPECT_TRUE(step(60).done);  // the fifth at 50, "a" at 55, "b" at 60
  EXPECT_EQ(drawn().size(), 3u);
}

TEST_F(TextOutput, TheSkipKeyOutputsEverythingAndPassesClickWaits) {
  s.wait_ms = 1000;
  word(hiragana(3));
  ASSERT_EQ(queue_controls(s, "C"), 0);
  word(hiragana(2));
  keys.states[11] = 2;
  EXPECT_FALSE(step(0).done);
  EXPECT_EQ(drawn().size(), 3u);
  EXPECT_FALSE(s.click_wait);  // released at the end of the frame: the key is held
  // Without the key, delays count from the frame that skipped.
  step(999);
  EXPECT_TRUE(drawn().empty());
  step(1000);
  EXPECT_EQ(drawn().size(), 1u);
  keys.states[11] = 2;
  EXPECT_TRUE(step(1001).done);
  EXPECT_EQ(drawn().size(), 1u);
}

TEST_F(TextOutput, OneClickReleasesOneWait) {
  word("a");
  ASSERT_EQ(queue_controls(s, "C"), 0);
  word("b");
  ASSERT_EQ(queue_controls(s, "C"), 0);
  word("c");
  step();
  EXPECT_TRUE(s.click_wait);
  EXPECT_EQ(drawn().size(), 1u);
  keys.states[15] = 1;
  step();
  EXPECT_EQ(drawn().size(), 0u);  // released at the end of the frame
  EXPECT_FALSE(s.click_wait);
  keys.states[15] = 2;  // still held: not a new click
  step();
  EXPECT_EQ(drawn().size(), 1u);
  EXPECT_TRUE(s.click_wait);
  keys.states[15] = 1;
  step();
  EXPECT_TRUE(step().done);
  EXPECT_EQ(drawn().size(), 1u);
}

TEST_F(TextOutput, OneClickReleasesOneWaitHoweverOftenItsFrameSteps) {
  word("a");
  ASSERT_EQ(queue_controls(s, "C"), 0);
  ASSERT_EQ(queue_controls(s, "C"), 0);
  word("b");
  step();
  ASSERT_TRUE(s.click_wait);
  // The same frame stepped three times (a walk repeated by TASK RESTART).
  keys.states[15] = 1;
  s.keys = &keys;
  ++s.input_frame;
  for (int i = 0; i < 3; ++i) step_text(s, &surface, glyphs, 0);
  EXPECT_EQ(s.next, 2u);
  EXPECT_TRUE(s.click_wait);
  keys.states.clear();
  keys.states[15] = 1;
  step();
  EXPECT_TRUE(step().done);
}

TEST_F(TextOutput, AClickDuringOutputShowsTheRestAtOnce) {
  s.wait_ms = 100;
  word(hiragana(4));
  ASSERT_EQ(queue_controls(s, "C"), 0);
  step(0);
  step(100);
  EXPECT_EQ(drawn().size(), 1u);
  keys.states[15] = 1;
  step(100);
  EXPECT_TRUE(s.skip);
  step(101);
  EXPECT_EQ(drawn().size(), 3u);
  EXPECT_TRUE(s.click_wait);
}

TEST_F(TextOutput, ClickWaitsRestartTheTimeBase) {
  s.wait_ms = 10;
  word("\x82\xA0");
  ASSERT_EQ(queue_controls(s, "C"), 0);
  word("\x82\xA0");
  step(0);
  step(10);
  EXPECT_EQ(drawn().size(), 1u);
  keys.states[15] = 1;
  step(100);
  step(109);
  EXPECT_TRUE(drawn().empty());
  EXPECT_TRUE(step(110).done);
  EXPECT_EQ(drawn().size(), 1u);
}

TEST_F(TextOutput, ClearInAClickWaitLeavesNoWaitBehind) {
  word("a");
  ASSERT_EQ(queue_controls(s, "C"), 0);
  word("b");
  step();
  ASSERT_TRUE(s.click_wait);
  empty_queue(s);
  EXPECT_FALSE(s.click_wait);
  EXPECT_EQ(s.next, 0u);
  EXPECT_TRUE(s.items.empty());
  drawn();
  word("xy");
  keys.states[11] = 2;  // the skip key would release a stale wait and drop "x"
  EXPECT_TRUE(step().done);
  EXPECT_EQ(drawn().size(), 2u);
}

TEST_F(TextOutput, WithoutATargetTheOutputStillFinishes) {
  word(hiragana(3));
  ASSERT_EQ(queue_controls(s, "RPE"), 0);
  StepResult r = step_text(s, nullptr, glyphs, 0);
  EXPECT_TRUE(r.done);
  EXPECT_FALSE(r.changed.any);
  EXPECT_EQ(glyphs.requests, 0);
  EXPECT_TRUE(s.items.empty());
}

TEST_F(TextOutput, OutputModeOtherThanOneEmptiesTheQueue) {
  word(hiragana(3));
  s.output_mode = 0;
  EXPECT_TRUE(step().done);
  EXPECT_TRUE(s.items.empty());
  EXPECT_TRUE(drawn().empty());
}

TEST_F(TextOutput, KeysOutsideTheKeyTableCountAsNone) {
  s.click_keys = {300, -5, 1023, kNoTextKey};
  s.skip_keys = {256, kNoTextKey, kNoTextKey, kNoTextKey};
  word("a");
  ASSERT_EQ(queue_controls(s, "C"), 0);
  step();
  keys.states[300] = 1;
  keys.states[256] = 2;
  keys.states[1023] = 1;
  step();
  EXPECT_TRUE(s.click_wait);
}

TEST_F(TextOutput, ReturnsPagesAndTheClearRequestMoveTheCursor) {
  word("ab");
  ASSERT_EQ(queue_controls(s, "R"), 0);
  s.attrs.sy = 20;
  ASSERT_EQ(queue_controls(s, "r"), 0);
  word("c");
  step();
  // "c" is 20 rows high: its first glyph row shows twice.
  EXPECT_EQ(drawn(), (Points{{0, 0}, {8, 0}, {0, 36}, {0, 37}}));
  EXPECT_EQ(s.cursor_x, 8);
  EXPECT_EQ(s.cursor_y, 36);
  // A request to clear (RETURNCODE in output mode 0) clears before the next
  // character.
  std::fill(pixels.begin(), pixels.end(), 0x11223344);
  s.clear_request = true;
  word("d");
  StepResult r = step();
  EXPECT_EQ(drawn(), (Points{{0, 0}, {0, 1}}));
  EXPECT_EQ(r.changed.x1, 160);
  EXPECT_FALSE(s.clear_request);
}

TEST_F(TextOutput, UnknownItemsAndMissingFontsAreErrors) {
  word("ab");
  s.items[0].kind = 'X';
  StepResult r = step();
  EXPECT_EQ(r.error, kErrBadTextItem);
  EXPECT_EQ(s.next, 1u);
  glyphs.fail = true;
  r = step();
  EXPECT_EQ(r.error, kErrFontCreation);
  EXPECT_EQ(s.next, 2u);
}

TEST(TextQueue, ValueTextLimits) {
  TextState s;
  const std::string k(1024, 'k');
  for (int i = 0; i < 7; ++i) ASSERT_EQ(queue_value_text(s, k), 0);
  EXPECT_EQ(queue_value_text(s, std::string(1022, 'x')), kErrTooMuchText);  // 8190
  EXPECT_EQ(s.text_bytes, 7168u);
  EXPECT_EQ(s.items.size(), 7168u);
  EXPECT_EQ(queue_value_text(s, std::string(1021, 'x')), 0);  // 8189
  EXPECT_EQ(queue_value_text(s, "x"), kErrTooMuchText);
  EXPECT_EQ(s.items.size(), 8189u);
  TextState empty;
  EXPECT_EQ(queue_value_text(empty, std::string(1025, 'x')), kErrValueTextTooLong);
  EXPECT_TRUE(empty.items.empty());
  EXPECT_EQ(empty.text_bytes, 0u);
}

TEST(TextQueue, WordTextLimit) {
  TextState s;
  EXPECT_EQ(queue_word_text(s, std::string(8191, 'x')), kErrTooMuchText);
  EXPECT_TRUE(s.items.empty());
  EXPECT_EQ(queue_word_text(s, std::string(8190, 'x')), 0);
  EXPECT_EQ(queue_word_text(s, "x"), kErrTooMuchText);
  EXPECT_EQ(s.items.size(), 8190u);
}

TEST(TextQueue, ItemsAreCappedWithTextAndWithControls) {
  TextState s;
  ASSERT_EQ(queue_word_text(s, std::string(8000, 'x')), 0);
  for (int i = 0; i < 192; ++i) ASSERT_EQ(queue_controls(s, "R"), 0);
  EXPECT_EQ(queue_controls(s, "R"), kErrTooMuchText);
  EXPECT_EQ(queue_line_end(s), kErrTooMuchText);
  EXPECT_FALSE(s.clear_request);
  empty_queue(s);
  ASSERT_EQ(queue_word_text(s, std::string(100, 'x')), 0);
  for (int i = 0; i < 8090; ++i) ASSERT_EQ(queue_controls(s, "R"), 0);
  EXPECT_EQ(queue_word_text(s, "abc"), kErrTooMuchText);
  EXPECT_EQ(queue_value_text(s, "abc"), kErrTooMuchText);
  EXPECT_EQ(s.items.size(), 8190u);
  EXPECT_EQ(s.text_bytes, 100u);
  EXPECT_EQ(queue_controls(s, "CE"), 0);
  EXPECT_EQ(queue_controls(s, "E"), kErrTooMuchText);
}

TEST(TextQueue, ValueTextShowsControlBytesAsSpacesAndWordKeepsThem) {
  TextState s;
  s.wait_ms = 31;
  ASSERT_EQ(queue_value_text(s, "a\t\x7F\xB1\xA0\x82\xA0\x82"), 0);
  ASSERT_EQ(s.items.size(), 7u);
  const uint16_t want[] = {'a', ' ', ' ', 0xB1, ' ', 0x82A0, ' '};
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(s.items[i].code, want[i]) << i;
  EXPECT_EQ(s.items[5].kind, item::double_byte);
  EXPECT_EQ(s.items[5].delay_ms, 31u);
  EXPECT_EQ(s.items[6].kind, item::single);  // a lead byte with nothing after it
  EXPECT_EQ(s.items[6].delay_ms, 15u);
  empty_queue(s);
  ASSERT_EQ(queue_word_text(s, "a\t\x82\xA0\x82"), 0);
  ASSERT_EQ(s.items.size(), 4u);
  EXPECT_EQ(s.items[1].code, '\t');
  EXPECT_EQ(s.items[3].code, 0x82);
  EXPECT_EQ(s.items[3].kind, item::single);
  // The lead byte of one WORD never takes the first byte of the next.
  ASSERT_EQ(queue_word_text(s, "\xA0"), 0);
  EXPECT_EQ(s.items[4].code, 0xA0);
}

TEST(TextQueue, ItemsTakeTheCurrentAttributes) {
  TextState s;
  s.attrs = {2, 20, 30, 0x123456, 0x654321, true, 1, true};
  ASSERT_EQ(queue_word_text(s, "a"), 0);
  ASSERT_EQ(queue_controls(s, "C"), 0);
  for (const TextItem& it : s.items) {
    EXPECT_EQ(it.color, 0x123456u);
    EXPECT_EQ(it.color2, 0x654321);
    EXPECT_EQ(it.sx, 20);
    EXPECT_EQ(it.sy, 30);
    EXPECT_TRUE(it.bold);
  }
}

TEST(TextQueue, LineEndItemsForEveryModeAndSwitch) {
  for (int mode = 0; mode <= 1; ++mode) {
    for (int bits = 0; bits < 8; ++bits) {
      TextState s;
      s.output_mode = mode;
      s.auto_click = bits & 1;
      s.auto_return = bits & 2;
      s.auto_page = bits & 4;
      ASSERT_EQ(queue_line_end(s), 0);
      std::string want;
      if (mode != 0) {
        if (bits & 1) want += 'C';
        if (bits & 2) want += 'R';
        if (bits & 4) want += 'P';
      }
      want += 'E';
      std::string got;
      for (const TextItem& it : s.items) got += it.kind;
      EXPECT_EQ(got, want) << "mode " << mode << " switches " << bits;
      EXPECT_EQ(s.clear_request, mode == 0);
    }
  }
}

}  // namespace
}  // namespace nv::text
