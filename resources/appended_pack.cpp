#include "resources/appended_pack.h"

#include "core/engine.h"
#include "formats/appended_pack.h"
#include "platform/file_system.h"
#include "resources/resource_state.h"

namespace nv::res {

AppendedPack detect_appended_pack(const std::string& exe_path) {
  AppendedPack a;
  a.exe_path = exe_path;
  platform::ReadFile f = platform::ReadFile::open_host(exe_path);
  if (!f.is_open()) return a;
  a.exe_size = f.size();
  const pack::AppendedLayout l =
      pack::find_appended_pack(a.exe_size, [&f](uint64_t at, std::span<uint8_t> out) { return f.read_at(at, out); });
  a.resource_value = l.trailer_value;
  a.pack_offset = l.pack_offset;
  a.screen_saver = l.screen_saver;
  a.packed = l.found;
  return a;
}

void apply_appended_pack(Engine& e, const std::string& exe_path) {
  e.resources.appended = detect_appended_pack(exe_path);
  if (e.resources.appended.packed) e.resources.release_mode = true;
}

}  // namespace nv::res
