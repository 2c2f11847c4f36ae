// The files written for a compiled title, read back: compiled scripts (areas
// descrambled with the script key), the table headers, and the example title
// of the language documentation.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "formats/script_key.h"
#include "platform/encoding.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/vizud/vizud_test_support.h"
#include "tools/vizud/title_output.h"
#include "tools/vizud/vizud.h"

namespace nv::test {
namespace {

std::vector<uint8_t> read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
  return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | static_cast<uint32_t>(b.at(at + 3)) << 24;
}

TEST(VizudOutput, CompiledScriptFileMatchesTheInstructions) {
  TempDir dir;
  dir.write("main.nvs",
            "*SYSTEM_START\nINT n = 2\nLOOP n\n  CG[ID=\"bg\" FILE=\"bg01\" Z=10]\n  Hello {n}\nLOOPEND\nEND\n");
  dir.write("title.cfg", "width = 1024\nheight = 768\ncaption = Demo\nsound_order = wav, ogg\n");
  std::ostringstream out, err;
  std::vector<std::string> args{dir.str(), "--quiet"};
  ASSERT_EQ(vizud::run_vizud(args, out, err), 0) << err.str();
  EXPECT_TRUE(out.str().empty());

  auto c = compile({{"main.nvs", "*SYSTEM_START\nINT n = 2\nLOOP n\n  CG[ID=\"bg\" FILE=\"bg01\" Z=10]\n  Hello {n}\nLOOPEND\nEND\n"}});
  ASSERT_TRUE(c.ok) << c.messages();
  const auto& code = c.title.scripts[0].code;

  auto f = read_file(dir.path() / "nvbin" / "nvt00000.nbn");
  ASSERT_GE(f.size(), 32u);
  EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "NVTB");
  EXPECT_EQ(u32(f, 4), 404u);
  uint32_t n = u32(f, 8), code_size = u32(f, 12), arg_size = u32(f, 16), res_size = u32(f, 20),
           line_size = u32(f, 24);
  ASSERT_EQ(n, code.size());
  ASSERT_EQ(code_size, 4 * n);
  ASSERT_EQ(line_size, 4 * n);
  ASSERT_EQ(f.size(), 32u + code_size + arg_size + res_size + line_size);
  ScriptKey key = script_key();
  uint8_t* p = f.data() + 32;
  for (uint32_t size : {code_size, arg_size, res_size, line_size}) {
    scramble(p, size, key);
    p += size;
  }
  const uint8_t* codes = f.data() + 32;
  const uint8_t* args_area = codes + code_size;
  const uint8_t* res = args_area + arg_size;
  const uint8_t* lines = res + res_size;
  size_t rec = 0;
  for (uint32_t i = 0; i < n; ++i) {
    ASSERT_EQ(codes[4 * i], code[i].command) << i;
    ASSERT_EQ(codes[4 * i + 1], code[i].args.size()) << i;
    int32_t line;
    std::memcpy(&line, lines + 4 * i, 4);
    EXPECT_EQ(line, code[i].line);
    for (const auto& a : code[i].args) {
      const uint8_t* r = args_area + 12 * rec++;
      EXPECT_EQ(r[0], a.keyword);
      EXPECT_EQ(r[2], a.selector);
      EXPECT_EQ(r[3], a.assign);
      uint32_t size, offset;
      std::memcpy(&size, r + 4, 4);
      std::memcpy(&offset, r + 8, 4);
      if (a.has_data) {
        ASSERT_EQ(size, a.data.size());
        ASSERT_LE(offset + size, res_size);
        EXPECT_EQ(std::vector<uint8_t>(res + offset, res + offset + size), a.data) << "instruction " << i;
      } else {
        EXPECT_EQ(size, a.size);  // jump targets and RETURNCODE values as given
      }
    }
  }
  EXPECT_EQ(rec * 12, arg_size);

  auto cfg = read_file(dir.path() / "nvbin" / "nvcfg.nbn");
  EXPECT_EQ(std::string(cfg.begin(), cfg.begin() + 4), "NVCF");
  EXPECT_EQ(u32(cfg, 16), 1024u);
  EXPECT_EQ(u32(cfg, 20), 768u);
  EXPECT_EQ(cfg.at(36), 2);  // .wav first
  EXPECT_EQ(cfg.at(37), 1);
  EXPECT_EQ(std::string(cfg.begin() + 66, cfg.end()), "Demo");
  auto idx = read_file(dir.path() / "nvbin" / "nvt.nbn");
  EXPECT_EQ(u32(idx, 8), 1000u);  // the highest variable number: n
  auto list = read_file(dir.path() / "nvbin" / "nvt_list.nbn");
  EXPECT_EQ(u32(list, 8), 1u);
  EXPECT_EQ(std::string(list.begin() + 20, list.begin() + 20 + u32(list, 16)), "main.nvs");
  auto labels = read_file(dir.path() / "nvbin" / "nvl.nbn");
  EXPECT_EQ(u32(labels, 8), 1u);
  auto vars = read_file(dir.path() / "nvbin" / "nvv.nbn");
  EXPECT_EQ(vars.at(8) | vars.at(9) << 8, 1000);  // system variables only: n is a local
}

TEST(VizudOutput, ScriptsInSubfoldersAreNumberedByPath) {
  TempDir dir;
  dir.write("z_last.nvs", "*SYSTEM_START\nGO *a\n");
  dir.write("chapter/a.nvs", "*a\nGO *b\n");
  dir.write("B.NVS", "*b\nEND\n");
  dir.write("nvbin/stale.nvs", "this is not a source\n");
  dir.write("notes.txt", "not a script\n");
  vizud::ProjectInput in;
  vizud::Diagnostics d;
  ASSERT_TRUE(vizud::load_project(dir.path(), in, d)) << d.format();
  ASSERT_EQ(in.scripts.size(), 3u);
  EXPECT_EQ(in.scripts[0].path, "B.NVS");
  EXPECT_EQ(in.scripts[1].path, "chapter/a.nvs");
  EXPECT_EQ(in.scripts[2].path, "z_last.nvs");
  vizud::CompiledTitle t;
  ASSERT_TRUE(vizud::compile_title(in, t, d)) << d.format();
  EXPECT_EQ(t.scripts[1].name, "chapter\\a.nvs");  // script list names use the engine's separator
}

TEST(VizudOutput, ProjectCommandAndErrorTables) {
  vizud::ProjectInput in;
  in.scripts.push_back({"main.nvs", "*SYSTEM_START\nEND\n"});
  in.has_errors = true;
  in.errors = {"errors.txt", "# custom texts\n108180 ラベル %s がない\\nよ\n999001 独自のエラー\n"};
  vizud::CompiledTitle t;
  vizud::Diagnostics d;
  ASSERT_TRUE(vizud::compile_title(in, t, d)) << d.format();
  bool replaced = false, added = false;
  for (const auto& e : t.errors) {
    if (e.code == 108180) replaced = e.text == platform::utf8_to_sjis("ラベル %s がない\nよ");
    if (e.code == 999001) added = true;
  }
  EXPECT_TRUE(replaced);
  EXPECT_TRUE(added);

  // A table of the project's own: here the built-in one with a keyword renamed.
  std::string table;
  for (const auto& cmd : builtin_commands()) {
    table += cmd.name;
    for (const auto& k : cmd.keywords) {
      std::string name = k.name[0] ? k.name : "-";
      if (std::string(cmd.name) == "WAIT" && name == "FRAME") name = "FRAMES";
      table += " " + name + ":" + std::to_string(k.type) + ":" + std::to_string(k.check);
    }
    table += "\n";
  }
  in.has_commands = true;
  in.commands = {"commands.txt", table};
  in.scripts[0].bytes = "*SYSTEM_START\nWAIT[FRAMES=2]\nEND\n";
  ASSERT_TRUE(vizud::compile_title(in, t, d)) << d.format();
  in.scripts[0].bytes = "*SYSTEM_START\nWAIT[FRAME=2]\nEND\n";
  EXPECT_FALSE(vizud::compile_title(in, t, d));
  in.commands.bytes = "CDDA TRACK:INT:99\n";
  vizud::Diagnostics d2;
  EXPECT_FALSE(vizud::compile_title(in, t, d2));
  EXPECT_NE(d2.format().find("commands.txt:1:1: check code \"99\" is not 0 to 26"), std::string::npos)
      << d2.format();
}

TEST(VizudOutput, TheDocumentedExampleTitleCompiles) {
  std::filesystem::path example = std::filesystem::path(NIVALO_SOURCE_DIR) / "examples" / "script-tour";
  vizud::ProjectInput in;
  vizud::Diagnostics d;
  ASSERT_TRUE(vizud::load_project(example, in, d)) << d.format();
  vizud::CompiledTitle t;
  ASSERT_TRUE(vizud::compile_title(in, t, d)) << d.format();
  // Every command of the table that scripts may write appears in the tour.
  std::vector<bool> used(static_cast<size_t>(cmd::kCount), false);
  for (const auto& s : t.scripts)
    for (const auto& i : s.code) used[i.command] = true;
  for (const auto& c : builtin_commands()) {
    std::string name = c.name;
    bool not_writable = c.compiler_only() || name == "G_INT" || name == "G_FLT" || name == "G_STR" ||
                        name == "G_VAR" || name == "S_VAR" || name == "S_INT" || name == "S_FLT" ||
                        name == "S_STR" || name == "MACRO";
    if (!not_writable) {
      EXPECT_TRUE(used[c.number]) << name << " is not in the example";
    }
  }
  // The compiler directives and declarations leave no instruction: look for them in the sources.
  std::string all;
  for (const auto& f : in.scripts) all += f.bytes;
  for (const auto& f : in.includes) all += f.bytes;
  for (const char* word : {"PRODUCT[", "INCLUDE[", "DEFINE[", "UNDEF[", "KEYNAME[", "G_INT ", "G_FLT ", "G_STR ",
                           "S_INT ", "S_FLT ", "S_STR "})
    EXPECT_NE(all.find(word), std::string::npos) << word;
  EXPECT_EQ(t.config.width, 800);
  EXPECT_NO_THROW(writers::encode_title(vizud::to_title_model(t)));
}

}  // namespace
}  // namespace nv::test
