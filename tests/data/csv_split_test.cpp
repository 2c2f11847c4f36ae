// Splitting CSV text: one row of the table per rule.
#include "data/csv_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nv::csv {
namespace {

std::vector<std::string> elements(std::string_view text, size_t max = SIZE_MAX) {
  Split s = split(text, max);
  return {s.elements.begin(), s.elements.end()};
}

using V = std::vector<std::string>;

struct Case {
  const char* rule;
  std::string text;
  V want;
};

TEST(CsvSplit, Rules) {
  const Case cases[] = {
      {"a line with a comma and its line end", "a,b\n", {"a", "b", "\r"}},
      {"CRLF ends a line once", "a,b\r\nc,d\r\n", {"a", "b", "\r", "c", "d", "\r"}},
      {"CR alone ends a line", "a,b\rc,d\r", {"a", "b", "\r", "c", "d", "\r"}},
      {"LF CR is two line ends", "a,b\n\rc\n", {"a", "b", "\r", "c", "\r"}},
      {"empty lines store nothing", "\n\r\n\na,b\n\n", {"a", "b", "\r"}},
      {"a final line without a line end is stored", "a,b\nc,d", {"a", "b", "\r", "c", "d", "\r"}},
      {"a line without commas stores its field", "title\nx,y\n", {"title", "\r", "x", "y", "\r"}},
      {"a line of blanks stores nothing", "  \t \na\n", {"a", "\r"}},
      {"a file that starts with a comma begins with an empty field", ",a\n", {"", "a", "\r"}},
      {"so does every line that starts with one", "x\n,a\n", {"x", "\r", "", "a", "\r"}},
      {"a trailing comma stores an empty last field", "a,\n", {"a", "", "\r"}},
      {"a line of commas stores its empty fields and a marker", ",,\n", {"", "", "", "\r"}},
      {"blanks before a field are skipped, after it kept", "  a b ,\tc\t\n", {"a b ", "c\t", "\r"}},
      {"blanks alone after a comma make an empty field", "a,  \n", {"a", "", "\r"}},
      {"double quotes are kept and protect commas", "\"a,b\",c\n", {"\"a,b\"", "c", "\r"}},
      {"apostrophes are kept and protect commas", "'a,b',c\n", {"'a,b'", "c", "\r"}},
      {"an apostrophe inside double quotes is text", "\"it's, ok\",x\n", {"\"it's, ok\"", "x", "\r"}},
      {"a double quote inside apostrophes is text", "'say \"hi, there',x\n", {"'say \"hi, there'", "x", "\r"}},
      {"quotes open mid-field", "ab\"c,d\"e,f\n", {"ab\"c,d\"e", "f", "\r"}},
      {"a line end closes open quotes", "\"a,b\nc,d\n", {"\"a,b", "\r", "c", "d", "\r"}},
      {"a stray apostrophe does not swallow the next lines", "don't,x\ny,z\n", {"don't,x", "\r", "y", "z", "\r"}},
      {"double-byte characters are whole", "\x82\xA0,\x95\x5C\n", {"\x82\xA0", "\x95\x5C", "\r"}},
      {"a trail byte 0x5C or 0x7C is not a separator", "\x95\x5C\x83\x7C,x\n", {"\x95\x5C\x83\x7C", "x", "\r"}},
      {"a trail byte that looks like a comma does not exist: the comma separates", "\x82,a\n", {"\x82", "a", "\r"}},
      {"a lead byte before a line end keeps the line end", "a\x82\nb\n", {"a\x82", "\r", "b", "\r"}},
      {"a lead byte at the end of the file stands alone", "a,\x82", {"a", "\x82", "\r"}},
      {"a lead byte before a quote leaves the quote a quote", "\x82\"a,b\"\n", {"\x82\"a,b\"", "\r"}},
      {"NUL bytes are text", std::string("a\0b,c\n", 6), {std::string("a\0b", 3), "c", "\r"}},
      {"an empty file has no elements", "", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(elements(c.text), c.want) << c.rule;
    EXPECT_EQ(split(c.text).count, c.want.size()) << c.rule;
  }
}

TEST(CsvSplit, ElementsPastTheLimitAreCountedNotKept) {
  Split s = split("a,b,c\nd,e\n", 4);
  EXPECT_EQ(std::vector<std::string>(s.elements.begin(), s.elements.end()), (V{"a", "b", "c", "\r"}));
  EXPECT_EQ(s.count, 7u);
  EXPECT_TRUE(split("a,b", 0).elements.empty());
}

TEST(CsvSplit, AHundredKilobyteField) {
  std::string big(100 * 1024, 'x');
  for (size_t k = 0; k < big.size(); k += 97) big[k] = '\x95', big[k + 1] = '\x5C';
  V got = elements("a," + big + ",b\r\n");
  ASSERT_EQ(got.size(), 4u);
  EXPECT_EQ(got[1], big);
  EXPECT_EQ(got[2], "b");
}

}  // namespace
}  // namespace nv::csv
