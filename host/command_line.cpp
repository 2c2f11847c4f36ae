#include "host/command_line.h"

#include <cstdlib>

namespace nv {

const char* const kUsageText =
    "usage: nivalo [OPTIONS] [TITLE_DIR]\n"
    "\n"
    "Plays the title in TITLE_DIR (default: the current folder, or the executable itself\n"
    "when a pack is appended to it).\n"
    "\n"
    "  --headless          no window: virtual clock, dialogs on standard error\n"
    "  --frames N          stop after N frame steps\n"
    "  --snapshot FILE     write the main window's last frame as PNG at exit\n"
    "  --answer WORD       how headless message boxes are answered:\n"
    "                      default, yes, no, ok or cancel\n"
    "  --input FILE        replay the keys, mouse and answers written in FILE\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "  /info               show the licence notices of the libraries used\n"
    "  /nvcfg              open the user settings (nvcfg.dat) of the title\n";

std::string parse_command_line(const std::vector<std::string>& argv, LaunchOptions& o) {
  o.args = argv;
  bool first_plain = true;
  for (size_t i = 0; i < argv.size(); ++i) {
    const std::string& a = argv[i];
    auto value = [&](std::string& out) -> bool {
      if (i + 1 >= argv.size()) return false;
      out = argv[++i];
      return true;
    };
    if (a == "--headless") {
      o.headless = true;
    } else if (a == "--frames") {
      std::string v;
      if (!value(v)) return "--frames needs a number";
      char* end = nullptr;
      long long n = std::strtoll(v.c_str(), &end, 10);
      if (v.empty() || *end != '\0' || n < 0) return "--frames needs a number of 0 or more, not \"" + v + "\"";
      o.frames = n;
    } else if (a == "--snapshot") {
      if (!value(o.snapshot)) return "--snapshot needs a file name";
    } else if (a == "--answer") {
      std::string v;
      if (!value(v)) return "--answer needs one of default, yes, no, ok, cancel";
      if (!platform::parse_answer_policy(v, o.answer))
        return "--answer takes default, yes, no, ok or cancel, not \"" + v + "\"";
    } else if (a == "--input") {
      if (!value(o.input)) return "--input needs a file name";
    } else if (a == "--help" || a == "-h") {
      o.show_help = true;
    } else if (a == "--version") {
      o.show_version = true;
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      return "unknown option \"" + a + "\" (see --help)";
    } else if (first_plain && (a == "/nvcfg" || a == "/info")) {
      o.first = a == "/nvcfg" ? FirstArgument::nvcfg : FirstArgument::info;
      first_plain = false;
    } else if (!a.empty() && a[0] == '/' && a.size() <= 3 && first_plain) {
      first_plain = false;  // a switch such as /p is for the title itself
    } else {
      first_plain = false;
      if (o.title_dir.empty()) o.title_dir = a;
      else return "more than one title folder given: \"" + o.title_dir + "\" and \"" + a + "\"";
    }
  }
  return {};
}

}  // namespace nv
