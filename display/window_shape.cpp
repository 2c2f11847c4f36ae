#include "display/window_shape.h"

namespace nv::display {

std::optional<std::vector<platform::Rect>> shape_rects(const uint32_t* pixels, int width, int height) {
  std::vector<platform::Rect> rects;
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = pixels + size_t(y) * size_t(width);
    int x = 0;
    while (x < width) {
      while (x < width && (row[x] & 0x00FFFFFFu) == 0) ++x;
      if (x == width) break;
      const int start = x;
      while (x < width && (row[x] & 0x00FFFFFFu) != 0) ++x;
      if (rects.size() == kMaxShapeRects) return std::nullopt;
      rects.push_back({start, y, x, y + 1});
    }
  }
  return rects;
}

}  // namespace nv::display
