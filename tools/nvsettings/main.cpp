// nvsettings: shows and sets the user settings of a title (nvcfg.dat, 32
// int32 words in the title folder). The engine starts it for "/nvcfg".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "formats/user_settings.h"
#include "platform/file_system.h"

namespace {

struct Word {
  int index;
  const char* name;
  int32_t default_value;
  const char* meaning;
};

constexpr Word kWords[] = {
    {0, "movie-player", 1, "movie player: 1 the media framework player, 0 the simple player"},
    {2, "second-routines", 1, "1 allows the second set of pixel routines when the processor has it"},
    {3, "third-routines", 1, "1 allows the third set of pixel routines when the processor has it"},
    {4, "two-workers", 1, "0 limits composition to one worker thread"},
    {5, "draw-object", 1, "0 switches the display device object off"},
    {6, "stretch-fullscreen", 0, "1 stretches the full-screen image (and scales mouse positions)"},
};

constexpr const char* kUsage =
    "usage: nvsettings [TITLE_DIR] [/nvcfg]               show the settings\n"
    "       nvsettings [TITLE_DIR] set NAME|WORD VALUE     set one word (0 or 1) and save\n"
    "       nvsettings [TITLE_DIR] reset                  write the defaults\n"
    "\n"
    "A word takes effect in the engine only when it is 0 or 1.\n";

nv::UserSettingWords defaults() {
  nv::UserSettingWords w{};
  for (const Word& d : kWords) w[size_t(d.index)] = d.default_value;
  return w;
}

nv::UserSettingWords load(const nv::platform::FileSystem& fs, bool& present) {
  nv::UserSettingWords w = defaults();
  auto r = fs.read("nvcfg.dat");
  present = r.status == nv::platform::FileStatus::ok;
  if (present) nv::read_user_setting_words(r.data, w);
  return w;
}

bool save(const nv::platform::FileSystem& fs, const nv::UserSettingWords& w) {
  return fs.write("nvcfg.dat", nv::encode_user_settings(w));
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string dir = ".";
  size_t i = 0;
  if (i < args.size() && (args[i] == "--help" || args[i] == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (i < args.size() && args[i] != "set" && args[i] != "reset" && args[i] != "/nvcfg") dir = args[i++];
  if (i < args.size() && args[i] == "/nvcfg") ++i;
  nv::platform::FileSystem fs(dir);
  if (!fs.is_directory("")) {
    std::fprintf(stderr, "nvsettings: \"%s\" is not a folder\n", dir.c_str());
    return 2;
  }
  bool present = false;
  nv::UserSettingWords w = load(fs, present);
  if (i < args.size() && args[i] == "reset") {
    if (!save(fs, defaults())) {
      std::fprintf(stderr, "nvsettings: cannot write %s/nvcfg.dat\n", dir.c_str());
      return 1;
    }
    std::printf("nvcfg.dat reset to the defaults\n");
    return 0;
  }
  if (i < args.size() && args[i] == "set") {
    if (i + 2 >= args.size()) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    const std::string& key = args[i + 1];
    const Word* target = nullptr;
    for (const Word& d : kWords)
      if (key == d.name || key == std::to_string(d.index)) target = &d;
    if (!target) {
      std::fprintf(stderr, "nvsettings: no setting \"%s\" (see nvsettings --help)\n", key.c_str());
      return 2;
    }
    const std::string& v = args[i + 2];
    if (v != "0" && v != "1") {
      std::fprintf(stderr, "nvsettings: %s takes 0 or 1, not \"%s\"\n", target->name, v.c_str());
      return 2;
    }
    w[size_t(target->index)] = v == "1";
    if (!save(fs, w)) {
      std::fprintf(stderr, "nvsettings: cannot write %s/nvcfg.dat\n", dir.c_str());
      return 1;
    }
    present = true;
  } else if (i < args.size()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::printf("settings of %s (%s)\n", dir.c_str(), present ? "nvcfg.dat" : "no nvcfg.dat: defaults");
  for (const Word& d : kWords) {
    int32_t v = w[size_t(d.index)];
    std::printf("  word %d  %-18s = %d%s\n      %s\n", d.index, d.name, v, (v == 0 || v == 1) ? "" : " (no effect)",
                d.meaning);
  }
  return 0;
}
