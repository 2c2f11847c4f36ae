// The placement rules on their own: right edge, the two kinsoku lists, the
// ！？ pair and the bottom of the layer.
#include <gtest/gtest.h>

#include "text/line_breaks.h"

namespace nv::text {
namespace {

constexpr uint16_t kA = 0x82A0;       // あ
constexpr uint16_t kMaru = 0x8142;    // 。
constexpr uint16_t kSmallTsu = 0x82C1;  // っ
constexpr uint16_t kKagi = 0x8175;    // 「
constexpr uint16_t kNijuKagi = 0x8177;  // 『
constexpr uint16_t kParen = 0x8169;   // （

// A 160 x 100 layer, characters 16 x 16.
PlaceInput at(int64_t x, int64_t y, uint16_t code) {
  PlaceInput in;
  in.x = x, in.y = y, in.w = 16, in.h = 16, in.next_h = 16, in.width = 160, in.height = 100, in.code = code;
  return in;
}

TEST(LineBreaks, TheListsHoldTheirCharacters) {
  for (uint16_t c : {0x8141, 0x8142, 0x8362, 0x8387, 0x8385, 0x8383, 0x8348, 0x8346, 0x8344, 0x8342, 0x8340, 0x82C1,
                     0x82E5, 0x82E3, 0x82E1, 0x82A7, 0x82A5, 0x82A3, 0x82A1, 0x829F, 0x8148, 0x8149, 0x8169})
    EXPECT_TRUE(may_end_line(uint16_t(c))) << std::hex << c;
  EXPECT_FALSE(may_end_line(kA));
  EXPECT_FALSE(may_end_line(kKagi));
  EXPECT_FALSE(may_end_line(0x42));
  EXPECT_TRUE(is_opening_bracket(kKagi));
  EXPECT_TRUE(is_opening_bracket(kNijuKagi));
  EXPECT_TRUE(is_opening_bracket(kParen));
  EXPECT_FALSE(is_opening_bracket(0x8176));  // 」
}

TEST(LineBreaks, AtTheRightEdgeANewLineStarts) {
  // x + 2 + w reaches 160 from x = 142.
  Placement p = place_character(at(141, 0, kMaru));
  EXPECT_FALSE(p.skip);
  EXPECT_EQ(p.x, 141);
  p = place_character(at(142, 0, kMaru));
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 16);
  EXPECT_FALSE(p.skip);
}

TEST(LineBreaks, WithOneCellLeftOnlyTheListStays) {
  // One more fits for x in 126 .. 141.
  EXPECT_EQ(place_character(at(128, 0, kMaru)).x, 128);
  EXPECT_EQ(place_character(at(128, 0, kSmallTsu)).x, 128);
  EXPECT_EQ(place_character(at(128, 0, kParen)).x, 128);
  Placement p = place_character(at(128, 0, kA));
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 16);
  // Single-byte characters are never in the list.
  PlaceInput narrow = at(128, 0, '.');
  EXPECT_EQ(place_character(narrow).x, 0);
}

TEST(LineBreaks, WithTwoOrThreeCellsLeftOpeningBracketsMoveOn) {
  // Two or three more fit for x in 94 .. 125.
  for (int64_t x : {96, 112}) {
    EXPECT_EQ(place_character(at(x, 0, kKagi)).x, 0) << x;
    EXPECT_EQ(place_character(at(x, 0, kNijuKagi)).x, 0) << x;
    EXPECT_EQ(place_character(at(x, 0, kParen)).x, 0) << x;
    EXPECT_EQ(place_character(at(x, 0, kA)).x, x) << x;
  }
  // With four left the bracket stays.
  EXPECT_EQ(place_character(at(80, 0, kKagi)).x, 80);
  // Single-byte characters are not looked at.
  EXPECT_EQ(place_character(at(112, 0, '(')).x, 112);
}

TEST(LineBreaks, ExclamationBeforeQuestionMakesAPair) {
  PlaceInput in = at(112, 0, kSjisExclamation);
  in.next_is_question = true;
  Placement p = place_character(in);
  EXPECT_TRUE(p.pair);
  EXPECT_EQ(p.x, 112);
  in.next_is_question = false;
  EXPECT_FALSE(place_character(in).pair);
  in = at(80, 0, kSjisExclamation);
  in.next_is_question = true;
  EXPECT_FALSE(place_character(in).pair);  // room enough: no rule applies
}

TEST(LineBreaks, TheBottomSkipsTheCharacterAndUsesTheNextHeight) {
  // y + next_h + 2 reaches 100 from y = 82.
  EXPECT_FALSE(place_character(at(0, 81, kA)).skip);
  EXPECT_TRUE(place_character(at(0, 82, kA)).skip);
  PlaceInput in = at(0, 60, kA);
  in.next_h = 40;
  EXPECT_TRUE(place_character(in).skip);
  // A new line below the last that fits.
  Placement p = place_character(at(150, 70, kA));
  EXPECT_EQ(p.y, 86);
  EXPECT_TRUE(p.skip);
  p = place_character(at(128, 70, kKagi));
  EXPECT_TRUE(p.skip);
}

}  // namespace
}  // namespace nv::text
