#include "graphics/dirty_rects.h"

#include <algorithm>

namespace nv::gfx {

DirtyRect unite(const DirtyRect& a, const DirtyRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

namespace {

bool any_in_use(const DirtyState& s) {
  return std::any_of(s.in_use.begin(), s.in_use.end(), [](uint8_t u) { return u != 0; });
}

void take_entry(DirtyState& s, int i, const DirtyRect& r) {
  s.rects[size_t(i)] = r;
  s.in_use[size_t(i)] = 1;
  ++s.count;
}

}  // namespace

bool mark_dirty_rect(DirtyState& s, const DirtyRect& r, int64_t width, int64_t height) {
  if (r.left >= width || r.top >= height || r.right < 0 || r.bottom < 0) return false;
  s.recompose = true;
  if (!any_in_use(s)) {
    take_entry(s, 0, r);
    return true;
  }
  for (int i = 0; i < kDirtyRectCount; ++i) {
    if (!s.in_use[size_t(i)]) continue;
    DirtyRect& e = s.rects[size_t(i)];
    if (r.right + 1 >= e.left && r.left <= e.right + 1 && r.bottom + 1 >= e.top && r.top <= e.bottom + 1) {
      e = unite(e, r);
      return true;
    }
  }
  for (int i = 0; i < kDirtyRectCount; ++i) {
    if (!s.in_use[size_t(i)]) {
      take_entry(s, i, r);
      return true;
    }
  }
  s.rects[0] = unite(s.rects[0], r);
  return true;
}

void mark_dirty_whole(DirtyState& s, const DirtyRect& r) {
  s.recompose = true;
  const DirtyRect whole{0, 0, r.right, r.bottom};
  if (!any_in_use(s)) {
    take_entry(s, 0, whole);
  } else if (s.in_use[0]) {
    s.rects[0] = unite(s.rects[0], whole);
  } else {
    take_entry(s, 0, whole);
  }
}

void reset_dirty(DirtyState& s) {
  s.count = 0;
  s.in_use.fill(0);
  s.recompose = false;
  s.bounds = {kEmptyBoundsLow, kEmptyBoundsLow, kEmptyBoundsHigh, kEmptyBoundsHigh};
}

}  // namespace nv::gfx
