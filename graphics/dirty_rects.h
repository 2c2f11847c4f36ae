// The dirty state of a layer set: up to 16 rectangles (inclusive canvas
// pixel coordinates) that need recomposing, the redraw bounds composed since
// the last reset, and the full-redraw and recompose flags.
#pragma once

#include <array>
#include <cstdint>

namespace nv::gfx {

struct DirtyRect {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = -1;  // inclusive
  int64_t bottom = -1;
};

inline constexpr int kDirtyRectCount = 16;
inline constexpr int64_t kEmptyBoundsLow = 999999999;
inline constexpr int64_t kEmptyBoundsHigh = -999999999;

struct DirtyState {
  int32_t count = 0;  // entries in use
  std::array<DirtyRect, kDirtyRectCount> rects{};
  std::array<uint8_t, kDirtyRectCount> in_use{};
  DirtyRect bounds{kEmptyBoundsLow, kEmptyBoundsLow, kEmptyBoundsHigh, kEmptyBoundsHigh};
  bool full_redraw = false;
  bool recompose = false;
};

// The union of two rectangles.
DirtyRect unite(const DirtyRect& a, const DirtyRect& b);

// Records `r` (in this set's coordinates) for a set of size width x height:
// nothing when it lies wholly outside; else the recompose flag is set and
// the rectangle becomes entry 0 when none is in use, widens the first entry
// it overlaps or touches, takes the first free entry, or, with all 16 in
// use, widens entry 0. Returns false when nothing was recorded.
bool mark_dirty_rect(DirtyState& s, const DirtyRect& r, int64_t width, int64_t height);

// Marks a whole set for recomposing from one level below: sets the recompose
// flag and makes entry 0 the union of itself and 0, 0 .. right, bottom of
// `r` (entry 0 alone when no entry is in use).
void mark_dirty_whole(DirtyState& s, const DirtyRect& r);

// After a presented frame: no rectangles, flags cleared, empty bounds.
void reset_dirty(DirtyState& s);

}  // namespace nv::gfx
