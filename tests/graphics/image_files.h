// Test pictures made by ImageMagick in a temporary folder, and its own
// decoding of them for comparison.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/image.h"
#include "resources/file_loader.h"
#include "tests/support/temp_dir.h"

namespace nv::test {

inline bool run_command(const std::string& cmd) { return std::system((cmd + " 2>/dev/null").c_str()) == 0; }

inline std::vector<uint8_t> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::vector<uint8_t> command_output(const std::string& cmd) {
  std::vector<uint8_t> out;
  FILE* p = popen((cmd + " 2>/dev/null").c_str(), "r");
  if (!p) return out;
  uint8_t buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
  pclose(p);
  return out;
}

// ImageMagick's pixels of `path` as engine pixels (BGRA words), with the
// engine's normalisation of alpha-0 pixels. With `depth16` the high byte of
// each 16-bit channel is taken (what stripping 16-bit channels gives).
inline std::vector<uint32_t> magick_pixels(const std::string& path, bool depth16 = false) {
  std::vector<uint8_t> raw = command_output("convert '" + path + "' -depth " + (depth16 ? "16" : "8") + " rgba:-");
  const size_t step = depth16 ? 2 : 1;
  std::vector<uint32_t> px;
  for (size_t i = 0; i + 4 * step <= raw.size(); i += 4 * step) {
    // 16-bit samples come most significant byte first.
    const uint32_t r = raw[i], g = raw[i + step], b = raw[i + 2 * step], a = raw[i + 3 * step];
    uint32_t p = a << 24 | r << 16 | g << 8 | b;
    if (a == 0) p = gfx::kTransparentGrey;
    px.push_back(p);
  }
  return px;
}

// Makes `name` in `dir` with "convert <args> <name>"; returns its path.
inline std::string make_image(const TempDir& dir, const std::string& args, const std::string& name) {
  const std::string path = (dir.path() / name).string();
  const std::string out_spec = name.find(':') == std::string::npos ? path : name.substr(0, name.find(':') + 1) +
                                                                               (dir.path() / name.substr(name.find(':') + 1)).string();
  if (!run_command("convert " + args + " '" + out_spec + "'")) return {};
  return name.find(':') == std::string::npos ? path : (dir.path() / name.substr(name.find(':') + 1)).string();
}

inline uint32_t decode_file(const std::string& path, gfx::DecodedImage& out) {
  const std::vector<uint8_t> bytes = read_bytes(path);
  return gfx::decode_image(res::file_type_of_name(path), bytes, out);
}

}  // namespace nv::test
