// Mounts the input as a pack (and, when it carries the trailer, as a packed
// executable) and reads every entry: index, records, data fields, inflate
// and the repair record all come from the input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/engine.h"
#include "platform/headless/platform_headless.h"
#include "platform/platform.h"
#include "resources/appended_pack.h"
#include "resources/file_loader.h"
#include "resources/pack_mount.h"

namespace {

void run(const std::string& dir, const std::string& exe) {
  nv::platform::HeadlessOptions o;
  o.title_dir = dir;
  nv::platform::Platform host = nv::platform::make_headless_platform(o);
  nv::Engine e(host);
  if (nv::mount_all_packs(e, exe) != 0) return;
  for (size_t i = 0; i < e.resources.entries.size() && i < 64; ++i) {
    nv::FileRequest r;
    nv::load_file(e, e.resources.entries[i].name, r, false);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string dir = (std::filesystem::temp_directory_path() / ("nivalo-pack-fuzz-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(dir);
  std::string pack = dir + "/a.npf";
  std::ofstream(pack, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  run(dir, "");
  if (nv::detect_appended_pack(pack).packed) run(dir, pack);
  std::filesystem::remove(dir + "/info.txt");
  return 0;
}
