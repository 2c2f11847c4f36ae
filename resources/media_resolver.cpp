#include "resources/media_resolver.h"

#include "core/engine.h"
#include "core/error_report.h"
#include "resources/file_loader.h"
#include "resources/file_name_rules.h"
#include "resources/name_fold.h"
#include "resources/resource_state.h"

namespace nv::res {

namespace {

constexpr std::string_view kImageExts[] = {".png", ".bmp", ".jpg", ".gif"};  // order values 1 to 4
constexpr std::string_view kSoundExts[] = {".ogg", ".wav"};                  // order values 1 and 2

bool has_kind_extension(std::string_view name, MediaKind kind) {
  if (kind == MediaKind::image) {
    for (std::string_view x : kImageExts)
      if (ends_with_ignore_case(name, x)) return true;
    return false;
  }
  for (std::string_view x : kSoundExts)
    if (ends_with_ignore_case(name, x)) return true;
  return false;
}

}  // namespace

int resolve_media(Engine& e, std::string_view name, MediaKind kind, FileRequest& req) {
  NormalizedName n = normalize_file_name(name);
  if (!n.name) {
    report(e, 100242, {n.working_path});
    return kMediaError;
  }
  req = FileRequest{};
  auto try_one = [&](const std::string& candidate) {
    int r = lookup_file(e, candidate, req, true);
    if (r == kLookupFound) return kMediaFound;
    if (r == kLookupPackUnopenable) {
      report(e, 901040, {candidate});
      return kMediaError;
    }
    return kMediaNotFound;
  };
  if (has_kind_extension(*n.name, kind)) return try_one(*n.name);
  const ResourceState& rs = e.resources;
  if (kind == MediaKind::image) {
    for (uint8_t v : rs.image_order) {
      if (v < 1 || v > 4) continue;
      int r = try_one(*n.name + std::string(kImageExts[v - 1]));
      if (r != kMediaNotFound) return r;
    }
  } else {
    for (uint8_t v : rs.sound_order) {
      if (v < 1 || v > 2) continue;
      int r = try_one(*n.name + std::string(kSoundExts[v - 1]));
      if (r != kMediaNotFound) return r;
    }
  }
  req = FileRequest{};
  return kMediaNotFound;
}

}  // namespace nv::res
