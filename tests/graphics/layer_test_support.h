// Helpers of the layer tests: pictures written into a title folder, and
// looking up layers of a running title.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/layer_tree.h"
#include "graphics/png_encode.h"
#include "host/engine.h"
#include "runtime/tree_path.h"

namespace nv::test {

// Writes a width x height PNG (BGRA words, alpha kept) as `name` in `dir`.
inline void write_png(const std::filesystem::path& dir, const std::string& name, int width, int height,
                      const std::vector<uint32_t>& pixels) {
  const std::vector<uint8_t> bytes = encode_png(pixels.data(), width, height, true);
  std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void write_png(const std::filesystem::path& dir, const std::string& name, int width, int height, uint32_t fill) {
  write_png(dir, name, width, height, std::vector<uint32_t>(size_t(width) * size_t(height), fill));
}

// The node an absolute path names ("W0/a", "W0/s/" for a set), or nullptr.
inline LayerNode* layer_at(Engine& e, std::string_view absolute) {
  NodePath p;
  if (!resolve_node_path(e, ":" + std::string(absolute), "", p)) return nullptr;
  return find_layer(e, p, false);
}

}  // namespace nv::test
