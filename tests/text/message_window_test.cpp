// A title's message window through the nivalo program, headless: two pages
// of text, the second shown after a scripted click; frames are the same in
// every run, and the kana are real glyphs although fontconfig alone would
// give the title's face name a font without any.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"
#include "tests/text/message_title.h"

namespace nv::text::test {
namespace {

using nv::test::output_of;
using nv::test::quoted;
using nv::test::slurp;
using nv::test::TempDir;

class MessageWindow : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(make_message_title(dir, "message window"), ""); }

  // The frame after `frames` frame steps, with the scripted input `input`.
  Frame frame_after(int frames, const std::string& input, const std::string& name) {
    std::string opts;
    if (!input.empty()) {
      dir.write(name + ".input", input);
      opts = " --input " + quoted(dir.path() / (name + ".input"));
    }
    const auto png = dir.path() / (name + ".png"), err = dir.path() / (name + ".err");
    const std::string cmd = std::string(NIVALO_PATH) + " --headless --frames " + std::to_string(frames) + opts +
                            " --snapshot " + quoted(png) + " " + dir.str() + " >/dev/null 2>" + quoted(err);
    EXPECT_EQ(std::system(cmd.c_str()), 0) << slurp(err);
    std::optional<Frame> f = read_frame(png);
    EXPECT_TRUE(f) << "no snapshot " << name;
    return f.value_or(Frame{});
  }

  TempDir dir;
};

TEST_F(MessageWindow, AClickTurnsToTheSecondPageAndRunsRepeatExactly) {
  const std::string click = "80 click 60 30\n";
  const Frame first = frame_after(60, click, "first");
  const Frame second = frame_after(140, click, "second");
  ASSERT_EQ(first.width, kTitleWidth);
  ASSERT_EQ(second.width, kTitleWidth);
  EXPECT_EQ(frame_after(140, click, "second-again").rgb, second.rgb) << "two runs, two pictures";
  EXPECT_EQ(frame_after(140, "", "no-click").rgb, first.rgb) << "without the click the first page stays";

  // Page one: five kana, each its own picture (no boxes for missing
  // glyphs), the English line below, nothing on the third line.
  const auto kana = line_cells(first, kBoxX, kBoxY, 0, 20, 5);
  std::set<std::vector<bool>> distinct(kana.begin(), kana.end());
  EXPECT_EQ(distinct.size(), 5u);
  for (const auto& c : kana) EXPECT_GT(lit_pixels({c}), 20);
  EXPECT_GT(lit_pixels(line_cells(first, kBoxX, kBoxY, 1, 10, 21)), 100);
  EXPECT_EQ(lit_pixels(line_cells(first, kBoxX, kBoxY, 2, 10, 30)), 0);
  // Nothing is drawn outside the box.
  for (int y = 0; y < kTitleHeight; ++y)
    for (int x = 0; x < kTitleWidth; ++x) {
      const bool in_box = x >= kBoxX && y >= kBoxY && x < kBoxX + kBoxWidth && y < kBoxY + kBoxHeight;
      if (!in_box) {
        ASSERT_EQ(first.at(x, y), 0u) << x << "," << y;
      }
    }

  // Page two: the page was cleared, its one line starts at the top.
  const auto top = line_cells(second, kBoxX, kBoxY, 0, 20, 12);
  EXPECT_GT(lit_pixels(top), 200);
  EXPECT_NE(top[0], kana[0]);
  EXPECT_EQ(lit_pixels(line_cells(second, kBoxX, kBoxY, 1, 10, 30)), 0);
}

TEST_F(MessageWindow, TheFaceNameAloneWouldGiveAFontWithoutKana) {
  // What fontconfig picks for the name by itself, and whether it has あ.
  const std::string file = output_of("fc-match -f '%{file}' 'ＭＳ ゴシック' 2>/dev/null");
  ASSERT_FALSE(file.empty()) << "fc-match is missing";
  const std::string with_kana = output_of("fc-list ':charset=3042' file 2>/dev/null");
  EXPECT_EQ(with_kana.find(file), std::string::npos) << file << " has kana: this machine aliases the name";
  // The engine starts with that face name and still shows kana.
  const Frame f = frame_after(60, "", "kana");
  ASSERT_EQ(f.width, kTitleWidth);
  EXPECT_GT(lit_pixels(line_cells(f, kBoxX, kBoxY, 0, 20, 5)), 200);
  EXPECT_EQ(frame_after(60, "", "kana-again").rgb, f.rgb) << "two runs, two pictures";
}

}  // namespace
}  // namespace nv::text::test
