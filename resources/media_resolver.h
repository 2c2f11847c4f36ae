// Finding an image or a sound that scripts name with or without extension.
#pragma once

#include <string_view>

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::res {

struct FileRequest;

enum class MediaKind { image = 0, sound = 1 };

constexpr int kMediaFound = 0;
constexpr int kMediaNotFound = 1;
constexpr int kMediaError = -1;  // reported

// Normalises `name` and looks it up: once when it already ends in an
// extension of its kind, else with each extension of the configured probing
// order until one is found. Fills `req` for load_file(..., lookup = false).
// Returns 0 found, 1 not found, -1 after a reported error (a blank in a
// path component: 100242; a pack that cannot be opened: 901040).
int resolve_media(Engine& e, std::string_view name, MediaKind kind, FileRequest& req);

}  // namespace nv::res
