// Message text lines: WORD for the text, _ for inserted values, RETURNCODE
// with the text line number and the next line's voice.
#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "tests/tools/vizud/vizud_test_support.h"

namespace nv::test {
namespace {

std::string raw(const vizud::Instruction* in) {
  return std::string(in->args.at(0).data.begin(), in->args.at(0).data.end());
}

uint32_t text_line_of(const vizud::Instruction* in) {
  const auto& r = in->args.at(0);
  return r.keyword | (r.unused << 8) | (r.selector << 16) | (static_cast<uint32_t>(r.assign) << 24);
}

TEST(VizudText, WordsValuesAndReturnCodes) {
  auto c = compile_one("INT hp = 3\nFLT rate\nSTR who = \"Mika\"\n"
                       "%12 Hello {who}, HP {hp}/{hp * 2} rate {rate}{{ok}}\n"
                       "%7 Second line\n"
                       "Third\n");
  ASSERT_TRUE(c.ok) << c.messages();
  const auto& code = c.title.scripts[0].code;
  std::vector<std::string> seq;
  for (const auto& in : code) seq.push_back(c.title.commands.commands[in.command].name);
  auto words = find_all(c, cmd::WORD);
  ASSERT_EQ(words.size(), 7u);
  EXPECT_EQ(raw(words[0]), "Hello ");
  EXPECT_EQ(raw(words[1]), ", HP ");
  EXPECT_EQ(raw(words[2]), "/");
  EXPECT_EQ(raw(words[3]), " rate ");
  EXPECT_EQ(raw(words[4]), "{ok}");
  EXPECT_EQ(raw(words[5]), "Second line");
  auto values = find_all(c, cmd::UNDERSCORE);
  ASSERT_EQ(values.size(), 4u);
  EXPECT_EQ(show_tokens(values[0]->args[0].data), "H1002");
  EXPECT_EQ(values[0]->args[0].selector, 3);
  EXPECT_EQ(show_tokens(values[2]->args[0].data), "H1000 B2 *");
  EXPECT_EQ(values[2]->args[0].selector, 1);
  EXPECT_EQ(values[3]->args[0].selector, 2);  // a float is shown with %f
  auto rc = find_all(c, cmd::RETURNCODE);
  ASSERT_EQ(rc.size(), 3u);
  EXPECT_EQ(text_line_of(rc[0]), 1u);
  EXPECT_EQ(rc[0]->args[0].size, 7u);  // the voice of the next text line
  EXPECT_EQ(text_line_of(rc[1]), 2u);
  EXPECT_EQ(rc[1]->args[0].size, 0u);
  EXPECT_EQ(text_line_of(rc[2]), 3u);
  EXPECT_FALSE(rc[0]->args[0].has_data);
  // Order within the first line.
  std::vector<std::string> first(seq.begin() + 4, seq.begin() + 14);
  EXPECT_EQ(first, (std::vector<std::string>{"WORD", "_", "WORD", "_", "WORD", "_", "WORD", "_", "WORD",
                                             "RETURNCODE"}));
}

TEST(VizudText, ContinuationEscapesAndStatementsThatLookLikeText) {
  auto c = compile_one("First part \\\nsecond part\n\\IF this is text\n  indented\nLOOP = 1 is text? no\n");
  // "LOOP = 1 ..." starts with a command name: it is a statement (and wrong).
  EXPECT_FALSE(c.ok);
  c = compile_one("First part \\\nsecond part\n\\IF this is text\n  indented\n");
  ASSERT_TRUE(c.ok) << c.messages();
  auto words = find_all(c, cmd::WORD);
  ASSERT_EQ(words.size(), 4u);
  EXPECT_EQ(raw(words[0]), "First part ");
  EXPECT_EQ(raw(words[1]), "second part");
  EXPECT_EQ(raw(words[2]), "IF this is text");
  EXPECT_EQ(raw(words[3]), "indented");
  EXPECT_EQ(find_all(c, cmd::RETURNCODE).size(), 3u);  // the continued line ends once
}

TEST(VizudText, JapaneseTextIsShiftJis) {
  std::string utf8_src = "「こんにちは」と{name}は言った。\n";
  auto c = compile_one("STR name = \"花子\"\n" + utf8_src);
  ASSERT_TRUE(c.ok) << c.messages();
  auto words = find_all(c, cmd::WORD);
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(raw(words[0]), platform::utf8_to_sjis("「こんにちは」と"));
  EXPECT_EQ(raw(words[1]), platform::utf8_to_sjis("は言った。"));
  // The same source in Shift-JIS compiles to the same bytes.
  auto s = compile({{"main.nvs", platform::utf8_to_sjis("*SYSTEM_START\nSTR name = \"花子\"\n" + utf8_src)}});
  ASSERT_TRUE(s.ok) << s.messages();
  auto sw = find_all(s, cmd::WORD);
  ASSERT_EQ(sw.size(), 2u);
  EXPECT_EQ(raw(sw[0]), raw(words[0]));
  EXPECT_EQ(find_all(s, cmd::STR).at(0)->args[1].data, find_all(c, cmd::STR).at(0)->args[1].data);
}

TEST(VizudText, TextValueErrors) {
  auto c = compile_one("FLT f\nValue {\"f=\" + str(f)} here\nOpen {f\n");
  EXPECT_FALSE(c.ok);
  EXPECT_NE(c.messages().find("main.nvs:3:7: a text computed with float values"), std::string::npos) << c.messages();
  EXPECT_NE(c.messages().find("main.nvs:4:6: \"{\" of an inserted value is not closed"), std::string::npos)
      << c.messages();
}

}  // namespace
}  // namespace nv::test
