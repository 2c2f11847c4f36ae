#include "resources/appended_pack.h"

#include <array>
#include <cstring>

#include "host/engine.h"
#include "platform/file_system.h"
#include "resources/byte_order.h"
#include "resources/pack_format.h"

namespace nv {

AppendedPack detect_appended_pack(const std::string& exe_path) {
  AppendedPack a;
  a.exe_path = exe_path;
  platform::ReadFile f = platform::ReadFile::open_host(exe_path);
  if (!f.is_open()) return a;
  a.exe_size = f.size();
  std::array<uint8_t, pack::kTrailerSize> trailer{};
  if (a.exe_size >= trailer.size() && f.read_at(a.exe_size - trailer.size(), trailer) &&
      std::memcmp(trailer.data(), pack::kTrailerMagic.data(), pack::kTrailerMagic.size()) == 0)
    a.resource_value = read_u32le(trailer.data() + 8);
  uint32_t v = a.resource_value;
  std::array<uint8_t, pack::kAppendedHeaderSize> header{};
  bool magic = v != 0 && f.read_at(v, header) && std::memcmp(header.data(), pack::kAppendedMagic, 4) == 0;
  if (magic) {
    a.pack_offset = read_u32le(header.data() + 4);
    a.screen_saver = read_u32le(header.data() + 8);
  }
  a.packed = v != 0 && v != 4 && a.exe_size != 0 && v != a.exe_size && magic;
  return a;
}

void apply_appended_pack(Engine& e, const std::string& exe_path) {
  e.resources.appended = detect_appended_pack(exe_path);
  if (e.resources.appended.packed) e.resources.release_mode = true;
}

}  // namespace nv
