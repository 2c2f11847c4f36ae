// Compile time of VIZud on a generated project (by default 1,000 scripts of
// 1,000 lines). Peers in the same run: reading and decoding the same sources
// (the floor any compiler pays), and the same compile on a quarter of the
// scripts (a linear compiler takes about a quarter of the time).
//
//   vizud_compile_bench [SCRIPTS [LINES]]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "tools/vizud/source_file.h"
#include "tools/vizud/title_compiler.h"
#include "tools/vizud/title_output.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

// One script of about `lines` lines mixing every kind of statement.
std::string make_script(int s, int lines, int scripts) {
  std::string out;
  out.reserve(static_cast<size_t>(lines) * 40);
  if (s == 0) out += "G_INT g_total = 0\nG_STR g_name = \"bench\"\n*SYSTEM_START\n";
  out += "S_INT s_count = " + std::to_string(s) + "\nINT i, table[16]\nFLT ratio = 0.5\nSTR text = \"x\"\n";
  int n = 6;
  int block = 0;
  while (n < lines - 3) {
    std::string tag = std::to_string(s) + "_" + std::to_string(block++);
    out += "*L" + tag + "\n";
    out += "LOOP 4\n";
    out += "  i += 1\n";
    out += "  IF i % 3 == 0 && table[i % 16] < 100\n";
    out += "    table[i % 16] = table[(i + 1) % 16] * 2 + s_count - g_total\n";
    out += "  ELSEIF i > 10\n";
    out += "    ratio = ratio * 1.5 + flt(i) / 3\n";
    out += "  ELSE\n";
    out += "    text = g_name + \"-\" + str(i)\n";
    out += "  IFEND\n";
    out += "LOOPEND\n";
    out += "CG[ID=\"screen/bg\" FILE=\"bg\" + str(i % 8) Z=10 X+=4 A=200]\n";
    out += "SOUND[ID=\"se\" FILE=\"click\" PLAY=1]\n";
    out += "「こんにちは、{g_name}さん。」今日は{i}回目です。\n";
    out += "The quick brown fox jumps over the lazy dog {ratio}.\n";
    out += "WAIT[FRAME=1]\n";
    out += "GOSUB *L" + std::to_string((s + 1) % scripts) + "_0[PINT=i PSTR2=text]\n";
    n += 17;
  }
  while (n++ < lines - 1) out += "// padding\n";
  out += "RETURN[RINT=i]\n";
  return out;
}

void generate(const std::filesystem::path& dir, int scripts, int lines) {
  std::filesystem::create_directories(dir);
  for (int s = 0; s < scripts; ++s) {
    char name[32];
    std::snprintf(name, sizeof name, "s%04d.nvs", s);
    std::ofstream(dir / name, std::ios::binary) << make_script(s, lines, scripts);
  }
}

struct Run {
  double load = 0, decode = 0, compile = 0, write = 0;
  size_t instructions = 0, bytes = 0;
  bool ok = false;
};

Run run(const std::filesystem::path& dir) {
  Run r;
  nv::vizud::Diagnostics diag;
  nv::vizud::ProjectInput in;
  auto t = Clock::now();
  if (!nv::vizud::load_project(dir, in, diag)) return r;
  r.load = seconds_since(t);
  for (const auto& f : in.scripts) r.bytes += f.bytes.size();
  t = Clock::now();
  size_t lines = 0;
  for (const auto& f : in.scripts) lines += nv::vizud::decode_source(f.path, f.bytes, diag).lines.size();
  r.decode = seconds_since(t);
  nv::vizud::CompiledTitle title;
  t = Clock::now();
  r.ok = nv::vizud::compile_title(in, title, diag);
  r.compile = seconds_since(t);
  if (!r.ok) {
    std::fputs(diag.format().c_str(), stderr);
    return r;
  }
  for (const auto& s : title.scripts) r.instructions += s.code.size();
  t = Clock::now();
  r.ok = nv::vizud::write_compiled_title(dir, title, diag);
  r.write = seconds_since(t);
  (void)lines;
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  int scripts = argc > 1 ? std::atoi(argv[1]) : 1000;
  int lines = argc > 2 ? std::atoi(argv[2]) : 1000;
  if (scripts < 4 || lines < 40) {
    std::fprintf(stderr, "usage: vizud_compile_bench [SCRIPTS>=4 [LINES>=40]]\n");
    return 2;
  }
  auto base = std::filesystem::temp_directory_path() / ("vizud-bench-" + std::to_string(::getpid()));
  std::filesystem::remove_all(base);
  generate(base / "full", scripts, lines);
  generate(base / "quarter", scripts / 4, lines);

  Run quarter = run(base / "quarter");
  Run full = run(base / "full");
  std::filesystem::remove_all(base);
  if (!full.ok || !quarter.ok) {
    std::fprintf(stderr, "compilation failed\n");
    return 1;
  }
  double mb = static_cast<double>(full.bytes) / (1024.0 * 1024.0);
  std::printf("project: %d scripts x %d lines, %.1f MB of source, %zu instructions\n", scripts, lines, mb,
              full.instructions);
  std::printf("read files        %8.3f s\n", full.load);
  std::printf("decode lines      %8.3f s   (peer: the floor of any compiler)\n", full.decode);
  std::printf("compile           %8.3f s   %.1f x decode, %.1f MB/s, %.0f lines/s\n", full.compile,
              full.compile / full.decode, mb / full.compile,
              static_cast<double>(scripts) * lines / full.compile);
  std::printf("encode and write  %8.3f s\n", full.write);
  std::printf("total             %8.3f s\n", full.load + full.compile + full.write);
  std::printf("compile of %d scripts: %.3f s; full / quarter = %.2f (4.00 is linear)\n", scripts / 4,
              quarter.compile, full.compile / quarter.compile);
  return 0;
}
