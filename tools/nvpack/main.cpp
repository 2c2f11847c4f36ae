// nvpack: builds pack archives, update packs and packed executables, and
// lists and verifies packs.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "formats/pack_view.h"
#include "platform/encoding.h"
#include "tools/nvpack/pack_sources.h"
#include "tools/writers/file_output.h"
#include "tools/writers/pack_writer.h"
#include "tools/writers/write_error.h"

namespace fs = std::filesystem;
using namespace nv::writers;
using namespace nv::pack;
using nv::Bytes;

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  nvpack [options] FOLDER -o OUT.npf             pack every file under FOLDER\n"
    "  nvpack [options] --files LIST -o OUT.npf       pack the files LIST names\n"
    "  nvpack [options] --update N FOLDER [-o DIR]    write DIR/updateN.npf (N 1 to 9)\n"
    "  nvpack [options] --exe ENGINE FOLDER -o OUT    engine with the pack appended\n"
    "         (instead of FOLDER: --files LIST, or --pack PACK.npf to append a built pack)\n"
    "  nvpack --list FILE                             list and verify a pack or packed executable\n"
    "options:\n"
    "  --store          store every entry uncompressed\n"
    "  --compress       compress every entry with zlib\n"
    "                   (default: compress all but PNG, JPEG, GIF, Ogg, movies and packs)\n"
    "  --level N        zlib level 1 to 9 (default 9)\n"
    "  --no-repair      leave out the repair data after each entry\n"
    "  --screensaver    mark a packed executable as a screen saver\n"
    "  -q               print nothing on success\n"
    "A LIST has one file per line: PATH, or PATH<TAB>ENTRY-NAME.\n";

struct Options {
  std::string folder, list, pack, engine, output;
  std::optional<int> update;
  bool list_mode = false, quiet = false, screen_saver = false;
  Compress compress = Compress::by_extension;
  PackOptions pack_options;
};

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

Bytes read_host_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw WriteError("cannot read " + p.string());
  Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw WriteError("cannot read " + p.string());
  return b;
}

Options parse(int argc, char** argv) {
  Options o;
  auto value = [&](int& i) -> std::string {
    if (i + 1 >= argc) throw UsageError(std::string(argv[i]) + " needs a value");
    return argv[++i];
  };
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-o") o.output = value(i);
    else if (a == "--files") o.list = value(i);
    else if (a == "--pack") o.pack = value(i);
    else if (a == "--exe") o.engine = value(i);
    else if (a == "--list") o.list_mode = true;
    else if (a == "--store") o.compress = Compress::never;
    else if (a == "--compress") o.compress = Compress::always;
    else if (a == "--no-repair") o.pack_options.repair_records = false;
    else if (a == "--screensaver") o.screen_saver = true;
    else if (a == "-q") o.quiet = true;
    else if (a == "--update" || a == "--level") {
      std::string v = value(i);
      char* end = nullptr;
      long n = std::strtol(v.c_str(), &end, 10);
      bool update = a == "--update";
      if (*end || n < 1 || n > 9) throw UsageError(a + " takes a number from 1 to 9, not " + v);
      if (update) o.update = static_cast<int>(n);
      else o.pack_options.level = static_cast<int>(n);
    } else if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else if (o.folder.empty()) {
      o.folder = a;
    } else {
      throw UsageError("more than one input folder: " + o.folder + ", " + a);
    }
  }
  if (o.list_mode) {
    if (o.folder.empty()) throw UsageError("--list needs the file to list");
    return o;
  }
  int inputs = !o.folder.empty() + !o.list.empty() + !o.pack.empty();
  if (inputs != 1) throw UsageError("give exactly one of FOLDER, --files LIST, --pack PACK");
  if (!o.pack.empty() && o.engine.empty()) throw UsageError("--pack is only for --exe");
  if (o.update && !o.engine.empty()) throw UsageError("an update pack cannot be a packed executable");
  if (o.update) {
    fs::path dir = o.output.empty() ? fs::path(".") : fs::path(o.output);
    o.output = (dir / ("update" + std::to_string(*o.update) + ".npf")).string();
  }
  if (o.output.empty()) throw UsageError("no output file (-o)");
  return o;
}

Bytes build_pack(const Options& o) {
  std::vector<nv::nvpack::SourceFile> files =
      o.list.empty() ? nv::nvpack::files_in_folder(o.folder, o.output) : nv::nvpack::files_in_list(o.list);
  if (files.empty()) throw WriteError("no files to pack");
  PackWriter w(o.pack_options);
  for (const auto& f : files) {
    try {
      w.add(f.entry_name, read_host_file(f.host_path), o.compress);
    } catch (const WriteError& e) {
      throw WriteError(f.host_path.string() + ": " + e.what());
    }
  }
  return w.encode();
}

const char* type_name(uint8_t t) {
  static const char* kNames[] = {"other", "bmp", "png", "jpeg", "gif", "wav", "ogg", "psd"};
  return t < 8 ? kNames[t] : "?";
}

int list(const Options& o) {
  Bytes file = read_host_file(o.folder);
  LocatedPack a = locate_pack(file);
  PackView v = read_pack(a.pack);
  if (a.present)
    std::printf("packed executable%s, pack at offset %zu\n", a.screen_saver ? " (screen saver)" : "",
                static_cast<size_t>(a.pack.data() - file.data()));
  std::printf("version %u, %zu entries\n", v.version, v.entries.size());
  int damaged = 0, repaired = 0;
  for (const nv::PackEntry& e : v.entries) {
    EntryData d = read_entry(v, e);
    const char* status = d.status == EntryStatus::ok ? "ok" : d.status == EntryStatus::repaired ? "repairable" : "DAMAGED";
    std::printf("%-5s %-6s %10u %10u  %-10s %s\n", type_name(static_cast<uint8_t>(e.type)), e.compression ? "zlib" : "stored", e.size,
                e.stored_size, status, nv::platform::sjis_to_utf8(e.name).c_str());
    if (d.status == EntryStatus::damaged) {
      ++damaged;
      std::fprintf(stderr, "nvpack: %s: %s\n", nv::platform::sjis_to_utf8(e.name).c_str(), d.problem.c_str());
    } else if (d.status == EntryStatus::repaired) {
      ++repaired;
    }
  }
  if (damaged || repaired)
    std::fprintf(stderr, "nvpack: %d damaged entries, %d repairable by their repair data\n", damaged, repaired);
  return damaged || repaired ? 1 : 0;
}

int run(const Options& o) {
  if (o.list_mode) return list(o);
  Bytes pack = o.pack.empty() ? build_pack(o) : read_host_file(o.pack);
  if (!o.pack.empty()) read_pack(pack);  // refuse to append something that is not a pack
  size_t entries = read_pack(pack).entries.size();
  if (o.engine.empty()) {
    write_file_atomic(o.output, pack);
  } else {
    Bytes engine = read_host_file(o.engine);
    write_file_atomic(o.output, encode_packed_executable(engine, pack, o.screen_saver));
    std::error_code ec;
    fs::permissions(o.output, fs::status(o.engine, ec).permissions() | fs::perms::owner_exec, ec);
  }
  if (!o.quiet) std::printf("%s: %zu entries\n", o.output.c_str(), entries);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(parse(argc, argv));
  } catch (const UsageError& e) {
    std::fprintf(stderr, "nvpack: %s\n\n%s", e.what(), kUsage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "nvpack: %s\n", e.what());
    return 1;
  }
}
