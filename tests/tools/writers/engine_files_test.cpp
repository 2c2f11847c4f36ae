// Byte layout of the engine files the writers produce.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "formats/byte_reader.h"
#include "formats/checksums.h"
#include "formats/command_table.h"
#include "formats/script_key.h"
#include "platform/encoding.h"
#include "tests/support/temp_dir.h"
#include "tools/writers/command_table_writer.h"
#include "tools/writers/config_writer.h"
#include "tools/writers/error_table_writer.h"
#include "tools/writers/label_table_writer.h"
#include "tools/writers/script_index_writer.h"
#include "tools/writers/script_list_writer.h"
#include "tools/writers/script_writer.h"
#include "tools/writers/title_writer.h"
#include "tools/writers/variable_table_writer.h"
#include "tools/writers/write_error.h"

namespace nv::writers {
namespace {

uint32_t u32(const Bytes& b, size_t at) { return load_u32(b, at); }
uint16_t u16(const Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
int64_t i64(const Bytes& b, size_t at) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | b[at + static_cast<size_t>(i)];
  return static_cast<int64_t>(v);
}
std::string magic(const Bytes& b) { return std::string(b.begin(), b.begin() + 4); }
std::string cstr(const Bytes& b, size_t& at) {
  std::string s(reinterpret_cast<const char*>(b.data() + at));
  at += s.size() + 1;
  return s;
}

TEST(CommandTableFile, ReadsBackAsTheDefinition) {
  Bytes f = encode_command_table(builtin_command_table());
  EXPECT_EQ(magic(f), "NVCM");
  EXPECT_EQ(u32(f, 4), 404u);
  EXPECT_EQ(u32(f, 8), 99u);
  EXPECT_EQ(u32(f, 12), 0u);
  size_t at = 16;
  for (const BuiltinCommand& c : builtin_commands()) {
    ASSERT_EQ(cstr(f, at), c.name);
    ASSERT_EQ(f[at++], c.keywords.size()) << c.name;
    for (const KeywordDef& k : c.keywords) {
      ASSERT_EQ(cstr(f, at), k.name);
      EXPECT_EQ(f[at++], k.type);
      EXPECT_EQ(f[at++], k.check);
    }
  }
  for (int i = 0; i < kErrnoTextCount; ++i) {
    std::string t = cstr(f, at);
    EXPECT_EQ(platform::sjis_to_utf8(t), kErrnoTexts[static_cast<size_t>(i)]) << i;
  }
  ASSERT_EQ(f.size(), at + 256);
  auto keys = builtin_key_table();
  EXPECT_TRUE(std::equal(keys.begin(), keys.end(), f.begin() + static_cast<long>(at)));
}

TEST(CommandTableFile, RefusesWhatTheEngineCannotHold) {
  CommandTableModel t = builtin_command_table();
  t.commands[1].keywords[0].check = 27;
  EXPECT_THROW(encode_command_table(t), WriteError);
  t = builtin_command_table();
  t.commands[1].keywords.resize(97);
  EXPECT_THROW(encode_command_table(t), WriteError);
  t = builtin_command_table();
  t.commands.resize(101, t.commands[0]);
  EXPECT_THROW(encode_command_table(t), WriteError);
  t = builtin_command_table();
  t.errno_texts[3].clear();  // written as " "
  Bytes f = encode_command_table(t);
  EXPECT_NE(std::string(f.begin(), f.end()).find(std::string(" \0", 2)), std::string::npos);
}

TEST(ErrorTableFile, ShipsAllMessagesVerbatimInShiftJis) {
  auto shipped = shipped_errors();
  ASSERT_EQ(shipped.size(), 121u);
  Bytes f = encode_error_table(shipped_error_table());
  EXPECT_EQ(magic(f), "NVER");
  EXPECT_EQ(u32(f, 4), 404u);
  EXPECT_EQ(u32(f, 8), 121u);
  EXPECT_EQ(u32(f, 12), 0u);
  size_t at = 16;
  for (const ShippedError& e : shipped) {
    EXPECT_EQ(u32(f, at), e.code);
    at += 4;
    std::string t = cstr(f, at);
    bool lossless = false;
    platform::utf8_to_sjis(e.text, &lossless);
    EXPECT_TRUE(lossless) << e.code;
    EXPECT_EQ(platform::sjis_to_utf8(t), e.text) << e.code;
  }
  EXPECT_EQ(at, f.size());
  EXPECT_EQ(shipped.front().code, 100010u);
  EXPECT_EQ(shipped.back().code, 901040u);
  EXPECT_EQ(shipped[29].text, "%s[%s=%d]\n\n設定できる値は %d ～ %d です。");

  std::vector<ErrorEntry> dup = {{1, "a"}, {1, "b"}};
  EXPECT_THROW(encode_error_table(dup), WriteError);
  EXPECT_THROW(encode_error_table(std::vector<ErrorEntry>(257, {0, "x"})), WriteError);
}

TEST(ScriptIndexAndListFiles, Layout) {
  Bytes idx = encode_script_index(1234, 7);
  ASSERT_EQ(idx.size(), 16u);
  EXPECT_EQ(magic(idx), "NVTD");
  EXPECT_EQ(u32(idx, 4), 404u);
  EXPECT_EQ(u32(idx, 8), 1234u);
  EXPECT_EQ(u32(idx, 12), 7u);

  std::vector<ScriptListEntry> list = {{"main.txt", make_compiler_data(0x0102030405060708ull, 9, 10)}, {"sub\\b.txt", {}}};
  Bytes f = encode_script_list(list);
  EXPECT_EQ(magic(f), "NVTL");
  EXPECT_EQ(u32(f, 8), 2u);
  EXPECT_EQ(u32(f, 12), 0u);       // script number
  EXPECT_EQ(u32(f, 16), 8u);       // name length
  EXPECT_EQ(std::string(f.begin() + 20, f.begin() + 28), "main.txt");
  EXPECT_EQ(i64(f, 28), 0x0102030405060708);
  EXPECT_EQ(u32(f, 36), 9u);
  EXPECT_EQ(u32(f, 40), 10u);
  EXPECT_EQ(u32(f, 44), 1u);       // second record
  EXPECT_EQ(u32(f, 48), 9u);
  EXPECT_EQ(f.size(), 44u + 8 + 9 + 16);
}

// Finds a label the way the engine does: from the bucket of the hash's top
// byte to the end of the table.
int find_label(const Bytes& f, const std::string& name) {
  uint32_t count = u32(f, 8);
  uint32_t h = crc32_of(name);
  uint32_t i = u32(f, 12 + 4 * (h >> 24));
  if ((h >> 24) == 0) i = 0;
  size_t at = 1036;
  for (uint32_t k = 0; k < i; ++k) at += 1 + f[at] + 12;
  for (; i < count; ++i) {
    uint8_t len = f[at];
    std::string n(f.begin() + static_cast<long>(at) + 1, f.begin() + static_cast<long>(at) + 1 + len);
    if (u32(f, at + 1 + len) == h && n == name) return static_cast<int>(i);
    at += 1 + len + 12;
  }
  return -1;
}

TEST(LabelTableFile, SortedByHashWithBucketStarts) {
  // "plumless" and "buckeroo" share their CRC-32.
  ASSERT_EQ(crc32_of("plumless"), crc32_of("buckeroo"));
  std::vector<LabelModel> labels = {{"SYSTEM_START", 0, 0, 0, 0}, {"plumless", 1, 5, 2, 1}, {"buckeroo", 1, 9, 0, 3}};
  for (int i = 0; i < 40; ++i) labels.push_back({"L" + std::to_string(i), 0, i, 0, 0});
  Bytes f = encode_label_table(labels);
  EXPECT_EQ(magic(f), "NVLB");
  EXPECT_EQ(u32(f, 8), labels.size());
  // Hashes ascend; equal hashes keep their order.
  size_t at = 1036;
  uint32_t prev = 0;
  std::vector<uint32_t> hashes;
  std::vector<std::string> order;
  for (size_t i = 0; i < labels.size(); ++i) {
    uint8_t len = f[at];
    order.emplace_back(f.begin() + static_cast<long>(at) + 1, f.begin() + static_cast<long>(at) + 1 + len);
    uint32_t h = u32(f, at + 1 + len);
    EXPECT_EQ(h, crc32_of(order.back()));
    EXPECT_GE(h, prev);
    prev = h;
    hashes.push_back(h);
    at += 1 + len + 12;
  }
  EXPECT_EQ(at, f.size());
  auto p = std::find(order.begin(), order.end(), "plumless");
  ASSERT_NE(p, order.end());
  EXPECT_EQ(*(p + 1), "buckeroo");
  // Bucket b = first label whose top byte is at least b.
  for (uint32_t b = 0; b < 256; ++b) {
    uint32_t want = 0;
    while (want < hashes.size() && (hashes[want] >> 24) < b) ++want;
    EXPECT_EQ(u32(f, 12 + 4 * b), want) << b;
  }
  for (const LabelModel& l : labels) EXPECT_GE(find_label(f, l.name), 0) << l.name;
  EXPECT_EQ(find_label(f, "missing"), -1);
  // The record fields of one label.
  int i = find_label(f, "plumless");
  at = 1036;
  for (int k = 0; k < i; ++k) at += 1 + f[at] + 12;
  EXPECT_EQ(static_cast<int32_t>(u32(f, at + 13)), 5);
  EXPECT_EQ(u16(f, at + 17), 1);
  EXPECT_EQ(f[at + 19], 2);
  EXPECT_EQ(f[at + 20], 1);

  std::vector<LabelModel> twice = {{"A", 0, 0, 0, 0}, {"A", 0, 1, 0, 0}};
  EXPECT_THROW(encode_label_table(twice), WriteError);
  std::vector<LabelModel> long_name = {{std::string(256, 'x'), 0, 0, 0, 0}};
  EXPECT_THROW(encode_label_table(long_name), WriteError);
}

TEST(CompiledScriptFile, HeaderAndScrambledAreas) {
  ScriptBuilder s;
  s.instruction(cmd::CG, 3);
  s.arg(kw::CG::ID, Expr::text("bg"), selector::kString);
  s.arg(kw::CG::Z, Expr::integer(5), selector::kInt, expr::kAssignAdd);
  uint32_t loop = s.instruction(cmd::LOOP, 4);
  s.arg(kw::LOOP::SET, Expr::integer(3), selector::kInt);
  s.jump();
  s.instruction(cmd::LOOPEND, 5);
  s.set_jump(loop, 1, 2);
  s.instruction(cmd::RETURNCODE, 6);
  s.record(ArgRecord::from_words(7, 1, 0));
  ScriptKey key = script_key();
  Bytes f = s.encode(key);

  EXPECT_EQ(magic(f), "NVTB");
  EXPECT_EQ(u32(f, 4), 404u);
  EXPECT_EQ(u32(f, 8), 4u);
  EXPECT_EQ(u32(f, 12), 16u);
  EXPECT_EQ(u32(f, 16), 5u * 12);
  uint32_t res = u32(f, 20);
  EXPECT_EQ(res, 7u + 4 + 4);  // "bg" literal, B 5, B 3
  EXPECT_EQ(u32(f, 24), 16u);
  EXPECT_EQ(u32(f, 28), 0u);
  ASSERT_EQ(f.size(), 32u + 16 + 60 + res + 16);
  // Each area is scrambled from key byte 0.
  size_t starts[] = {32, 48, 108, 108 + res, f.size()};
  for (int a = 0; a < 4; ++a) scramble(f.data() + starts[a], starts[a + 1] - starts[a], key);
  EXPECT_EQ(f[32], cmd::CG);
  EXPECT_EQ(f[33], 2);
  EXPECT_EQ(f[36], cmd::LOOP);
  EXPECT_EQ(f[37], 2);
  EXPECT_EQ(f[40], cmd::LOOPEND);
  EXPECT_EQ(f[41], 0);
  EXPECT_EQ(f[44], cmd::RETURNCODE);
  // Records: CG ID, CG Z, LOOP SET, LOOP jump, RETURNCODE.
  EXPECT_EQ(f[48], kw::CG::ID);
  EXPECT_EQ(f[50], selector::kString);
  EXPECT_EQ(f[51], 0);
  EXPECT_EQ(u32(f, 52), 7u);
  EXPECT_EQ(u32(f, 56), 0u);
  EXPECT_EQ(f[60], kw::CG::Z);
  EXPECT_EQ(f[62], selector::kInt);
  EXPECT_EQ(f[63], expr::kAssignAdd);
  EXPECT_EQ(u32(f, 64), 4u);
  EXPECT_EQ(u32(f, 68), 7u);
  EXPECT_EQ(u32(f, 84 + 4), 2u);     // LOOP's second record: the LOOPEND index
  EXPECT_EQ(u32(f, 96), 7u);         // RETURNCODE: text line in the first word
  EXPECT_EQ(u32(f, 100), 1u);        // next voice in the size field
  EXPECT_EQ(std::string(f.begin() + 108, f.begin() + 115), std::string("M\x04\x00\"bg\"", 7));
  EXPECT_EQ(f[115], 'B');
  EXPECT_EQ(f[118], 5);
  EXPECT_EQ(u32(f, 108 + res), 3u);  // line table
  EXPECT_EQ(u32(f, 108 + res + 12), 6u);

  ScriptBuilder bad;
  EXPECT_THROW(bad.arg(0, Expr::integer(1), 1), WriteError);
  EXPECT_THROW(bad.instruction(100, 1), WriteError);
  bad.instruction(cmd::ERROR_, 1);
  for (int i = 0; i < 95; ++i) bad.jump();
  EXPECT_THROW(bad.jump(), WriteError);
}

TEST(VariableTableFile, SystemVariablesThenTitleVariables) {
  std::vector<VariableModel> vars(3);
  vars[0].number = 1000;
  vars[0].int_value = -2;
  vars[0].dims = {3};
  vars[1].number = 1001;
  vars[1].type = vartype::kFloat;
  vars[1].float_value = 0.25;
  vars[1].scope = kScopeScript;
  vars[1].script = 4;
  vars[2].number = 1002;
  vars[2].type = vartype::kString;
  vars[2].string_value = Expr::text("hi");
  Bytes f = encode_variable_table(vars);
  EXPECT_EQ(magic(f), "NVVR");
  EXPECT_EQ(u32(f, 4), 404u);
  EXPECT_EQ(u16(f, 8), 1003);
  // Walk every record by its size.
  size_t at = 10;
  std::vector<size_t> pos;
  for (int i = 0; i < 1003; ++i) {
    pos.push_back(at);
    uint8_t type = f[at + 5], d = f[at + 6];
    EXPECT_EQ(u16(f, at + 3), i < 1000 ? i : 1000 + (i - 1000)) << i;
    at += 7 + 4u * d;
    if (type == 1 || type == 2) at += 8;
    if (type == 3) at += 2 + u16(f, at);
  }
  EXPECT_EQ(at, f.size());
  // System variable 0: integer [2][8].
  EXPECT_EQ(f[pos[0]], kScopeGlobal);
  EXPECT_EQ(f[pos[0] + 5], vartype::kInt);
  EXPECT_EQ(f[pos[0] + 6], 2);
  EXPECT_EQ(u32(f, pos[0] + 7), 2u);
  EXPECT_EQ(u32(f, pos[0] + 11), 8u);
  EXPECT_EQ(f[pos[10] + 5], vartype::kFloat);
  EXPECT_EQ(f[pos[14] + 5], vartype::kString);
  EXPECT_EQ(u32(f, pos[14] + 7), 1024u);
  EXPECT_EQ(f[pos[73] + 5], vartype::kString);
  EXPECT_EQ(f[pos[70] + 5], vartype::kInt);
  EXPECT_EQ(f[pos[43] + 5], vartype::kFloat);
  EXPECT_EQ(u32(f, pos[43] + 7), 11u);
  EXPECT_EQ(f[pos[93 + 128] + 5], vartype::kInt);  // key state of key number 128
  EXPECT_EQ(f[pos[999] + 5], vartype::kNone);
  EXPECT_EQ(pos[1000] - pos[999], 7u);  // no initial value for type 0
  // Title variables.
  EXPECT_EQ(f[pos[1000] + 6], 1);
  EXPECT_EQ(u32(f, pos[1000] + 7), 3u);
  EXPECT_EQ(i64(f, pos[1000] + 11), -2);
  EXPECT_EQ(f[pos[1001]], kScopeScript);
  EXPECT_EQ(u16(f, pos[1001] + 1), 4);
  double d;
  std::memcpy(&d, f.data() + pos[1001] + 7, 8);
  EXPECT_EQ(d, 0.25);
  EXPECT_EQ(u16(f, pos[1002] + 7), 7);
  EXPECT_EQ(std::string(f.begin() + static_cast<long>(pos[1002]) + 9, f.end()), std::string("M\x04\x00\"hi\"", 7));

  std::vector<VariableModel> bad(1);
  bad[0].number = 999;
  EXPECT_THROW(encode_variable_table(bad), WriteError);
  bad[0].number = 1000;
  bad[0].dims = {2001, 2000};
  EXPECT_THROW(encode_variable_table(bad), WriteError);
  bad[0].dims = {2000, 2000};
  EXPECT_NO_THROW(encode_variable_table(bad));
  bad[0].dims = {0};
  EXPECT_THROW(encode_variable_table(bad), WriteError);
}

TEST(ConfigFile, Layout) {
  ConfigModel c;
  c.width = 800;
  c.height = 600;
  c.debug = 1;
  c.image_order = {2, 1, 0, 0, 0, 0, 0, 0};
  c.caption = platform::utf8_to_sjis("テスト");
  Bytes f = encode_config(c);
  EXPECT_EQ(magic(f), "NVCF");
  EXPECT_EQ(u32(f, 4), 404u);
  EXPECT_EQ(u32(f, 16), 800u);
  EXPECT_EQ(u32(f, 20), 600u);
  EXPECT_EQ(u32(f, 24), 1u);
  EXPECT_EQ(f[28], 2);
  EXPECT_EQ(f[29], 1);
  EXPECT_EQ(f[36], 1);
  EXPECT_EQ(f[37], 2);
  EXPECT_EQ(u32(f, 40), 0u);
  EXPECT_EQ(u32(f, 44), 1u);
  EXPECT_EQ(u32(f, 48), 1u);
  EXPECT_EQ(u32(f, 56), 1u);
  EXPECT_EQ(u16(f, 64), 6);
  EXPECT_EQ(std::string(f.begin() + 66, f.end()), c.caption);

  c.width = 100;
  EXPECT_THROW(encode_config(c), WriteError);
  c.width = c.height = 0;
  EXPECT_NO_THROW(encode_config(c));
  c.caption = std::string(129, 'x');
  EXPECT_THROW(encode_config(c), WriteError);
  EXPECT_EQ(encode_user_settings({}).size(), 128u);
}

TEST(TitleWriter, WritesEveryFileOrNothing) {
  test::TempDir dir;
  TitleModel t;
  ScriptModel& s = t.add_script("main.txt");
  s.code.instruction(cmd::END, 1);
  t.labels.push_back({"SYSTEM_START", 0, 0, 0, 0});
  VariableModel v;
  v.number = 1200;
  t.variables.push_back(v);
  write_title(dir.path(), t);
  for (const char* name : {"nvc.nbn", "nve.nbn", "nvt.nbn", "nvt_list.nbn", "nvl.nbn", "nvv.nbn", "nvcfg.nbn",
                           "nvt00000.nbn"})
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "nvbin" / name)) << name;
  auto files = encode_title(t);
  EXPECT_EQ(u32(files["nvt.nbn"], 8), 1200u);  // highest variable number
  EXPECT_EQ(u32(files["nvt.nbn"], 12), 1u);

  test::TempDir other;
  t.labels.push_back({"BAD", 3, 0, 0, 0});  // names a script that does not exist
  EXPECT_THROW(write_title(other.path(), t), WriteError);
  EXPECT_FALSE(std::filesystem::exists(other.path() / "nvbin"));
}

}  // namespace
}  // namespace nv::writers
