#include "tools/vizud/vizud.h"

#include <chrono>
#include <cstdlib>

#include "tools/vizud/title_compiler.h"
#include "tools/vizud/title_output.h"

namespace nv::vizud {

namespace {

constexpr const char* kUsage =
    "usage: VIZud [--check] [--max-errors N] [--quiet] PROJECT_DIR\n"
    "  compiles the *.nvs scripts of PROJECT_DIR (with title.cfg, and optional\n"
    "  commands.txt and errors.txt) into PROJECT_DIR/nvbin/\n"
    "  --check          compile only, write nothing\n"
    "  --max-errors N   stop after N errors (default 100)\n"
    "  --quiet          print nothing but errors\n";

}  // namespace

int run_vizud(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  bool check_only = false, quiet = false;
  size_t max_errors = 100;
  std::string project;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--check") check_only = true;
    else if (a == "--quiet") quiet = true;
    else if (a == "--max-errors" && i + 1 < args.size()) {
      char* end = nullptr;
      long n = std::strtol(args[++i].c_str(), &end, 10);
      if (*end != 0 || n < 1) {
        err << "VIZud: --max-errors needs a positive number\n" << kUsage;
        return 2;
      }
      max_errors = static_cast<size_t>(n);
    } else if (a == "--help" || a == "-h") {
      out << kUsage;
      return 0;
    } else if (!a.empty() && a[0] == '-') {
      err << "VIZud: unknown option " << a << "\n" << kUsage;
      return 2;
    } else if (project.empty()) {
      project = a;
    } else {
      err << "VIZud: only one project folder can be given\n" << kUsage;
      return 2;
    }
  }
  if (project.empty()) {
    err << kUsage;
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  Diagnostics diag(max_errors);
  ProjectInput input;
  CompiledTitle title;
  bool ok = load_project(project, input, diag) && compile_title(input, title, diag);
  if (ok && !check_only) ok = write_compiled_title(project, title, diag);
  if (!ok) {
    err << diag.format();
    err << "VIZud: " << diag.count() << (diag.count() == 1 ? " error" : " errors") << "; nothing written\n";
    return 1;
  }
  if (!quiet) {
    size_t instructions = 0;
    for (const auto& s : title.scripts) instructions += s.code.size();
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    out << "VIZud: " << title.scripts.size() << (title.scripts.size() == 1 ? " script, " : " scripts, ")
        << instructions << " instructions, " << title.labels.size() << " labels"
        << (check_only ? " checked" : " compiled") << " in " << static_cast<long>(ms) << " ms\n";
  }
  return 0;
}

}  // namespace nv::vizud
