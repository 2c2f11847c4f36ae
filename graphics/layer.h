// `Layer`: one image with its position, opacity, blend mode and transition
// attributes. Several layer nodes may show one record (CG RID); the record
// lives as long as any node holds it. A layer set's record also carries the
// set's canvas (its pixels) and its dirty state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/dirty_rects.h"
#include "graphics/image.h"

namespace nv::gfx {

// Longest `TID` kept; longer texts are cut (at a character boundary).
constexpr size_t kMaxTidBytes = 260;

struct Layer {
  bool shown_by_window = false;  // a window displays this set
  bool text_target = false;      // text output draws into this layer

  DirtyState dirty;  // sets only: rectangles, redraw bounds, full-redraw and recompose flags

  std::string tid;      // `TID`: path of the rule image layer, empty for none
  std::string copy_id;  // kept for the layer effects (CGACT COPY), no meaning here

  int64_t x = 0, y = 0;    // top-left pixel in the parent set's canvas
  int32_t sx = 1, sy = 1;  // width, height
  int64_t opacity = 256;   // `A` 0..256 as scripts set it (plain values stored as given)
  int64_t threshold = 256; // `T` 0..256; 256 means no transition
  int64_t softness = 0;    // `TA`
  int64_t mode = 0;        // `MODE` 0..18
  int64_t visible = 1;     // `E`
  bool alpha = false;      // pixels carry meaningful per-pixel alpha

  // sx x sy pixels, bytes blue, green, red, alpha, rows top-down.
  std::vector<uint32_t> pixels = std::vector<uint32_t>(1, 0);
  // The frames of the GIF this record last loaded.
  std::vector<GifFrame> frames;

  // Kept for the layer effects; set at creation, no meaning here.
  int32_t effect_level = 128;
  uint32_t effect_colour = 0x808080;
};

// The opacity, threshold and mode composition uses: `A` and `T` clamped to
// 0..256 and a mode outside 0..18 drawn as 0, so a value stored as given can
// never push a kernel out of its range.
int32_t drawn_opacity(const Layer& l);
int32_t drawn_threshold(const Layer& l);
int drawn_mode(const Layer& l);

// a + b saturated to the 64-bit range (positions are not clamped, so edges
// computed from them must not overflow).
int64_t add_saturated(int64_t a, int64_t b);

// The rectangle the layer covers in its parent's canvas (inclusive).
DirtyRect layer_rect(const Layer& l);

}  // namespace nv::gfx
