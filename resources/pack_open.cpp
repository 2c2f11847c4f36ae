#include "resources/pack_open.h"

#include "core/engine.h"
#include "resources/resource_state.h"

namespace nv::res {

OpenPack open_pack(const Engine& e, const PackFile& pack) {
  OpenPack p;
  const AppendedPack& a = e.resources.appended;
  if (a.packed) {
    p.file = platform::ReadFile::open_host(a.exe_path);
    p.base = a.pack_base();
    return p;
  }
  platform::OpenedFile f = e.platform.files->open_read(pack.open_path);
  if (f.status != platform::FileStatus::ok && pack.open_path != pack.path) f = e.platform.files->open_read(pack.path);
  p.file = std::move(f.file);
  return p;
}

std::string pack_display_path(const ResourceState& rs, const PackFile& pack) {
  if (rs.release_mode || rs.appended.packed) return pack.path;
  return rs.exe_folder + pack.path;
}

}  // namespace nv::res
