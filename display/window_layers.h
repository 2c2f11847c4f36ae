// The WINDOW keywords that name layers: CGID (the set a window shows),
// REGIONID (the shape) and DRAGID (the layer that drags the window).
#pragma once

#include <string_view>

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::display {

// Each returns 0, or -1 after a report (100230, 101250).
int show_layer_set(Engine& e, int slot, std::string_view id);
int shape_window(Engine& e, int slot, std::string_view id);
int set_drag_layer(Engine& e, int slot, std::string_view id);

// Whether a left press at client point (x, y) of window `slot` lies on a
// non-black pixel of its drag layer.
bool drag_layer_hit(Engine& e, int slot, int x, int y);

}  // namespace nv::display
