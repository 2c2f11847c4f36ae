// A window's shape from a layer's pixels: every maximal run of pixels in a
// row that is not black becomes one rectangle.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/display.h"

namespace nv::display {

constexpr size_t kMaxShapeRects = 1999;

// The rectangles of a width x height top-down BGRA image; the alpha byte
// is ignored. std::nullopt when more than kMaxShapeRects are needed.
std::optional<std::vector<platform::Rect>> shape_rects(const uint32_t* pixels, int width, int height);

}  // namespace nv::display
