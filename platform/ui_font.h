// Text for what the engine draws itself (menus, the input dialog): one
// font at one size, measured and drawn in UTF-8.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace nv::platform {

// A top-down 32-bit BGRA picture.
struct PixelBuffer {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  PixelBuffer() = default;
  PixelBuffer(int w, int h, uint32_t fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}
  uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Fills the part of the rectangle that lies inside the buffer.
void fill_rect(PixelBuffer& b, int x, int y, int w, int h, uint32_t bgra);

class UiFont {
 public:
  virtual ~UiFont() = default;
  // Height of one line, and the distance from its top to the baseline.
  virtual int line_height() = 0;
  virtual int ascent() = 0;
  // Advance of the text in pixels.
  virtual int text_width(std::string_view utf8) = 0;
  // Draws the text with the top of its line at (x, y), clipped to the buffer.
  virtual void draw_text(PixelBuffer& b, int x, int y, std::string_view utf8, uint32_t bgra) = 0;
};

}  // namespace nv::platform
