// Script-loop speed: a LOOP with IF, integer arithmetic on array elements
// and string building, compiled by VIZud and run headless in one frame,
// beside the same loop in Lua 5.4 (the lua5.4 interpreter, when installed)
// measured in the same run. Prints instructions per second and the time
// ratio Nivalo / Lua.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "host/engine.h"
#include "host/frame.h"
#include "host/startup.h"
#include "platform/headless/platform_headless.h"
#include "platform/platform.h"
#include "tools/vizud/title_compiler.h"
#include "tools/vizud/title_output.h"

namespace {

constexpr long kIterations = 2000000;

const char* const kScript = R"(*SYSTEM_START
G_INT total = 0
INT a[100], i = 0, k = 0
STR s = ""
LOOP[SET=%ld]
  i += 1
  k = i %% 100
  a[k] += i * 3
  IF a[k] > 1000000
    a[k] -= 1000000
  IFEND
  total += a[k]
  IF i %% 1000 == 0
    s = ""
  IFEND
  s += "x"
LOOPEND
END
)";

const char* const kLua = R"(
local a = {}
for k = 0, 99 do a[k] = 0 end
local i, total, s = 0, 0, ""
for _ = 1, %ld do
  i = i + 1
  local k = i %% 100
  a[k] = a[k] + i * 3
  if a[k] > 1000000 then a[k] = a[k] - 1000000 end
  total = total + a[k]
  if i %% 1000 == 0 then s = "" end
  s = s .. "x"
end
io.write(total)
)";

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main() {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("nivalo-loop-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  char script[2048];
  std::snprintf(script, sizeof script, kScript, kIterations);

  nv::vizud::ProjectInput in;
  in.scripts.push_back({"main.nvs", script});
  in.has_config = true;
  in.config = {"title.cfg", "width = 640\nheight = 480\n"};
  nv::vizud::CompiledTitle title;
  nv::vizud::Diagnostics diag;
  if (!nv::vizud::compile_title(in, title, diag) || !nv::vizud::write_compiled_title(dir, title, diag)) {
    std::fprintf(stderr, "%s", diag.format().c_str());
    return 1;
  }

  nv::platform::Platform host = nv::platform::make_headless_platform({.title_dir = dir.string()});
  long long total = 0;
  double nivalo_s = 0;
  uint64_t instructions = 0;
  {
    nv::Engine e(host);
    if (!nv::start_engine(e, "/nonexistent/nivalo").ok) return 1;
    auto t0 = std::chrono::steady_clock::now();
    nv::frame_step(e);
    nivalo_s = seconds_since(t0);
    instructions = e.tasks.command_counter;
    const nv::vizud::VarInfo* v = title.symbols.find(0, "total");
    if (v) total = nv::read_int(*e.vars.find(static_cast<uint32_t>(v->number)), 0);
  }
  fs::remove_all(dir);
  std::printf("script loop, %ld iterations\n", kIterations);
  std::printf("  nivalo: %.3f s, %llu instructions, %.1f M instructions/s (total %lld)\n", nivalo_s,
              static_cast<unsigned long long>(instructions), instructions / nivalo_s / 1e6, total);

  if (std::system("command -v lua5.4 >/dev/null 2>&1") != 0) {
    std::printf("  lua5.4: not installed (scripts/install-deps.sh --bench installs it); no ratio\n");
    return 0;
  }
  char lua[2048];
  std::snprintf(lua, sizeof lua, kLua, kIterations);
  fs::path lua_file = fs::temp_directory_path() / ("nivalo-loop-bench-" + std::to_string(::getpid()) + ".lua");
  std::ofstream(lua_file) << lua;
  std::string cmd = "lua5.4 " + lua_file.string();
  auto t0 = std::chrono::steady_clock::now();
  FILE* p = popen(cmd.c_str(), "r");
  char out[64] = {0};
  size_t n = p ? std::fread(out, 1, sizeof out - 1, p) : 0;
  if (p) pclose(p);
  double lua_s = seconds_since(t0);
  fs::remove(lua_file);
  out[n] = '\0';
  std::printf("  lua5.4: %.3f s (total %s)%s\n", lua_s, out,
              std::to_string(total) == out ? "" : "  -- totals differ!");
  std::printf("  time ratio nivalo / lua: %.2f (at or below 1.00 is the aim)\n", nivalo_s / lua_s);
  return 0;
}
