// Composition of layer sets: each in-use dirty rectangle of a set's canvas
// is redrawn from its children bottom to top, starting at the topmost child
// that hides the whole rectangle; nested sets are composed first and drawn
// as opaque images; rule transitions blend through a rule image.
//
// The presentation code calls compose_set() for a window's set when its
// recompose flag is set, presents the canvas (layer->pixels, sx x sy), and
// calls reset_dirty_tree() after the presented frame.
#pragma once

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::gfx {

struct LayerNode;

// Recomposes `set` in its dirty rectangles. `nested` is set for a set drawn
// inside another one (its alpha flag becomes 0, so it is drawn opaque).
// Returns 0, or -1 after a report (100242/100230 for a rule path, 100310 for
// a rule image of another size).
int compose_set(Engine& e, LayerNode& set, bool nested = false);

// After a presented frame: every node under the root loses its dirty
// rectangles, its recompose flag and its redraw bounds.
void reset_dirty_tree(Engine& e);

// Composes every window's set that needs it (the presentation code's
// per-frame step); returns 0 or -1 after a report.
int compose_windows(Engine& e);

}  // namespace nv::gfx
