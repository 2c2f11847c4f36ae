// Helpers of the layer tests: pictures written into a title folder, and
// looking up layers of a running title.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/tree_path.h"
#include "graphics/layer_tree.h"
#include "graphics/png_encode.h"
#include "host/engine.h"

namespace nv::test {

// Writes a width x height PNG (BGRA words) as `name` in `dir`: with alpha
// (the layer's alpha flag will be 1) or as opaque RGB (flag 0).
inline void write_png(const std::filesystem::path& dir, const std::string& name, int width, int height,
                      const std::vector<uint32_t>& pixels, bool keep_alpha = true) {
  const std::vector<uint8_t> bytes = gfx::encode_png(pixels.data(), width, height, keep_alpha);
  std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void write_png(const std::filesystem::path& dir, const std::string& name, int width, int height, uint32_t fill,
                      bool keep_alpha = true) {
  write_png(dir, name, width, height, std::vector<uint32_t>(size_t(width) * size_t(height), fill), keep_alpha);
}

// The node an absolute path names ("W0/a", "W0/s/" for a set), or nullptr.
// Walks the components itself, so names with blanks can be looked at.
inline gfx::LayerNode* layer_at(Engine& e, std::string_view absolute) {
  NodePath p{std::string(absolute), absolute.ends_with('/')};
  if (p.is_set) p.path.pop_back();
  return static_cast<gfx::LayerNode*>(find_node_by_path(e, e.graphics.layers.root, p, false));
}

}  // namespace nv::test
