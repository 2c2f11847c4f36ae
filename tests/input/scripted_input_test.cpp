#include "input/scripted_input.h"

#include <gtest/gtest.h>

namespace nv::input {
namespace {

int key_of(std::string_view name) {
  if (name == "RETURN") return 13;
  if (name == "SHIFT") return 16;
  if (name == "A") return 65;
  return -1;
}

bool parse(std::string_view text, ScriptedInput& out, std::string& error) {
  return parse_scripted_input(text, "in.txt", key_of, out, error);
}

TEST(ScriptedInput, EveryEventFormParses) {
  ScriptedInput in;
  std::string error;
  ASSERT_TRUE(parse(
      "# a comment\n"
      "\n"
      "  3 key down a    # names are upper-cased\n"
      "4 key up 65\n"
      "2 press RETURN\n"
      "5 mouse 10 -4\n"
      "6 button down right\n"
      "7 click 30 40\n"
      "8 wheel -2\n"
      "9 type こんにちは # not a comment\n"
      "10 answer cancel\n"
      "11 menu 100\r\n"
      "12 close\n",
      in, error))
      << error;
  const auto& e = in.events;
  ASSERT_EQ(e.size(), 14u);
  // Ordered by frame; press gives down on its frame and up on the next.
  EXPECT_EQ(e[0].frame, 2);
  EXPECT_TRUE(e[0].down);
  EXPECT_EQ(e[0].vk, 13);
  EXPECT_EQ(e[1].frame, 3);  // the key down A of line 3 comes before the press's up (also frame 3)
  EXPECT_EQ(e[1].vk, 65);
  EXPECT_EQ(e[2].frame, 3);
  EXPECT_EQ(e[2].vk, 13);
  EXPECT_FALSE(e[2].down);
  EXPECT_EQ(e[3].vk, 65);
  EXPECT_FALSE(e[3].down);
  EXPECT_EQ(e[4].kind, ScriptedKind::mouse);
  EXPECT_EQ(e[4].y, -4);
  EXPECT_EQ(e[5].kind, ScriptedKind::button);
  EXPECT_EQ(e[5].vk, 2);
  // click: move, press, release on one frame
  EXPECT_EQ(e[6].kind, ScriptedKind::mouse);
  EXPECT_EQ(e[7].kind, ScriptedKind::button);
  EXPECT_TRUE(e[7].down);
  EXPECT_FALSE(e[8].down);
  EXPECT_EQ(e[8].frame, 7);
  EXPECT_EQ(e[9].wheel, -2);
  EXPECT_EQ(e[10].text, "こんにちは # not a comment");
  EXPECT_EQ(e[11].answer, ScriptedAnswer::cancel);
  EXPECT_EQ(e[12].code, 100);
  EXPECT_EQ(e[13].kind, ScriptedKind::close);
  EXPECT_EQ(e[13].line, 13);
}

TEST(ScriptedInput, AMalformedLineIsNamed) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"1 close\n0 close\n", "in.txt:2: expected a frame number of 1 or more, not \"0\""},
      {"x key down A\n", "in.txt:1: expected a frame number of 1 or more, not \"x\""},
      {"1 key down NOPE\n", "in.txt:1: unknown key \"NOPE\""},
      {"1 key down 256\n", "in.txt:1: virtual-key number 256 is not between 1 and 255"},
      {"1 key sideways A\n", "in.txt:1: expected down or up, not \"sideways\""},
      {"\n\n1 mouse 4\n", "in.txt:3: expected two whole numbers X Y"},
      {"1 button down thumb\n", "in.txt:1: expected left, right or middle, not \"thumb\""},
      {"1 wheel 0\n", "in.txt:1: expected a number of notches (up positive, not 0), not \"0\""},
      {"1 answer maybe\n", "in.txt:1: expected yes, no, ok or cancel, not \"maybe\""},
      {"1 menu -3\n", "in.txt:1: expected a menu CODE of 0 or more, not \"-3\""},
      {"1 close now\n", "in.txt:1: unexpected \"now\" after the event"},
      {"1 jump\n", "in.txt:1: unknown event \"jump\""},
      {"7\n", "in.txt:1: an event is missing after the frame number"},
      {"1 type \xFF\xFE\n", "in.txt:1: the text is not UTF-8"},
  };
  for (const Case& c : cases) {
    ScriptedInput in;
    std::string error;
    EXPECT_FALSE(parse(c.text, in, error)) << c.text;
    EXPECT_EQ(error, c.error);
    EXPECT_TRUE(in.events.empty());
  }
}

TEST(ScriptedInput, DueEventsAreTakenOnceUpToTheFrame) {
  ScriptedInput in;
  std::string error;
  ASSERT_TRUE(parse("5 close\n1 wheel 1\n3 wheel -1\n", in, error));
  EXPECT_EQ(take_due_events(in, 2).size(), 1u);
  EXPECT_TRUE(take_due_events(in, 2).empty());
  auto later = take_due_events(in, 9);
  ASSERT_EQ(later.size(), 2u);
  EXPECT_EQ(later[0].wheel, -1);
  EXPECT_EQ(later[1].kind, ScriptedKind::close);
}

}  // namespace
}  // namespace nv::input
