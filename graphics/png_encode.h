// PNG encoding of 32-bit BGRA images (top-down rows), through libpng.
#pragma once

#include <cstdint>
#include <vector>

namespace nv::gfx {

// Returns the PNG file bytes; empty on failure. With `keep_alpha` false the
// picture is written as opaque RGB (what a screen shows).
std::vector<uint8_t> encode_png(const uint32_t* pixels, int width, int height, bool keep_alpha);

}  // namespace nv::gfx
