#include "tests/runtime/test_files.h"

#include <algorithm>

namespace nv::test {

std::string label_table_file(std::vector<LabelSpec> labels) {
  std::stable_sort(labels.begin(), labels.end(),
                   [](const LabelSpec& a, const LabelSpec& b) { return crc32_of(a.name) < crc32_of(b.name); });
  Bytes f = header("NVLB", static_cast<uint32_t>(labels.size()));
  f.b.resize(12);
  for (uint32_t bucket = 0; bucket < 256; ++bucket) {
    uint32_t first = static_cast<uint32_t>(labels.size());
    for (size_t k = 0; k < labels.size(); ++k)
      if ((crc32_of(labels[k].name) >> 24) >= bucket) {
        first = static_cast<uint32_t>(k);
        break;
      }
    f.u32(first);
  }
  for (const LabelSpec& l : labels) {
    f.u8(static_cast<uint32_t>(l.name.size())).raw(l.name).u32(crc32_of(l.name));
    f.u32(static_cast<uint32_t>(l.instruction)).u16(l.script).u8(l.if_depth).u8(l.loop_depth);
  }
  return f.str();
}

std::string script_file(const std::vector<Instr>& code) {
  Bytes c, a, r, lines;
  for (const Instr& in : code) {
    c.u8(in.command).u8(static_cast<uint32_t>(in.args.size())).u8(0).u8(0);
    for (const Arg& arg : in.args) {
      uint32_t off = static_cast<uint32_t>(r.b.size());
      r.raw(arg.expr.b);
      uint32_t size = arg.size_override >= 0 ? static_cast<uint32_t>(arg.size_override)
                                             : static_cast<uint32_t>(arg.expr.b.size());
      a.u8(arg.keyword).u8(0).u8(arg.selector).u8(arg.op).u32(size).u32(off);
    }
    lines.u32(static_cast<uint32_t>(in.line));
  }
  ScriptKey key = script_key();
  for (Bytes* area : {&c, &a, &r, &lines}) scramble(area->b.data(), area->b.size(), key);
  Bytes f;
  f.raw("NVTB").u32(404).u32(static_cast<uint32_t>(code.size()));
  f.u32(static_cast<uint32_t>(c.b.size())).u32(static_cast<uint32_t>(a.b.size()));
  f.u32(static_cast<uint32_t>(r.b.size())).u32(static_cast<uint32_t>(lines.b.size())).u32(0);
  f.raw(c.b).raw(a.b).raw(r.b).raw(lines.b);
  return f.str();
}

std::string variable_file(const std::vector<VarRecord>& records) {
  Bytes f;
  f.raw("NVVR").u32(404).u16(static_cast<uint32_t>(records.size()));
  for (const VarRecord& v : records) {
    f.u8(v.scope).u16(v.script).u16(v.number).u8(v.type).u8(static_cast<uint32_t>(v.dims.size()));
    for (int32_t d : v.dims) f.u32(static_cast<uint32_t>(d));
    if (v.type == 1) f.u64(static_cast<uint64_t>(v.init_int));
    if (v.type == 2) {
      uint64_t raw;
      std::memcpy(&raw, &v.init_float, 8);
      f.u64(raw);
    }
    if (v.type == 3) f.u16(static_cast<uint32_t>(v.init_text.b.size())).raw(v.init_text.b);
  }
  return f.str();
}

std::string test_error_table() {
  return error_table_file({
      {101000, "%s[%s=%d]\n\n設定できる値は %d ～ %d です。"},
      {101010, "%s[%s=%d]\n\n設定できる値は %d 以上 です。"},
      {101020, "%s[%s=%d]\n\n設定できる値は -1 ～ 0xffffff(16777215) です。"},
      {101030, "%s[%s=%d]\n\n設定できる値は 0 ～ 0xffffff(16777215) です。"},
      {101100, "配列サイズが %d Byte を超えています。"},
      {101110, "配列サイズが 不正 です。"},
      {101140, "変数を初期化しないで使用しようとしました。"},
      {101210, "%s[%s=%d]\n\n使用可能最大レイヤ数 %d を\n超えるレイヤが指定されました。"},
      {101220, "%s[%s=%d]\n\n0 未満のレイヤは指定出来ません。"},
      {105000, "スクリプトバイナリ仕様が現在の仕様と一致しません。"},
      {107010, "配列に指定した要素値が、配列サイズを超えているか、負の値を指定しています。"},
      {108010, "変数は有効ではありません。"},
      {160010, "数値(変数)と文字列(変数)を演算しようとしました。"},
      {900000, "[内部エラー]\n\nデータエラーです。"},
      {900030, "[内部エラー]\n\n不正な識別子を検出しました。"},
      {900050, "[内部エラー]\n\nスクリプト実行エラーが発生しました。"},
      {900070, "[内部エラー]\n\n変数番号エラーです。"},
      {901030, "[内部エラー]\n\nメモリリーク発生しました。"},
  });
}

void write_title(TestEngine& t, const TitleSpec& spec) {
  t.write("nvbin/nve.nbn", test_error_table());
  t.write("nvbin/nvc.nbn", command_table_file());
  t.write("nvbin/nvt.nbn", script_index_file(spec.variables));
  t.write("nvbin/nvt_list.nbn", script_list_file(spec.scripts));
  t.write("nvbin/nvv.nbn", spec.variable_file.empty() ? variable_file({}) : spec.variable_file);
  t.write("nvbin/nvl.nbn", label_table_file(spec.labels));
  for (size_t k = 0; k < spec.code.size(); ++k) {
    char name[64];
    std::snprintf(name, sizeof name, "nvbin/nvt%05zu.nbn", k);
    t.write(name, script_file(spec.code[k]));
  }
}

}  // namespace nv::test
