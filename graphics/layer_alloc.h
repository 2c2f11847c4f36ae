// Pixel buffers of layer records: allocation with the engine's memory
// message, and the plain-text boxes of the layer commands.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "graphics/layer.h"

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::gfx {

// A buffer of sx x sy pixels of `fill`; false after showing the memory box
// ("[file](w, h)") and reporting 104030. `out` is untouched on failure.
bool allocate_pixels(Engine& e, std::vector<uint32_t>& out, int32_t sx, int32_t sy, uint32_t fill,
                     std::string_view file_name);

// Gives `l` a new canvas of sx x sy pixels of `fill`; the record keeps its
// old buffer and size when that fails (reported as above).
bool allocate_canvas(Engine& e, Layer& l, int32_t sx, int32_t sy, uint32_t fill, std::string_view file_name);

// Shows a plain error box (Shift-JIS text) without a number.
void show_layer_box(Engine& e, std::string_view text_sjis);

}  // namespace nv::gfx
