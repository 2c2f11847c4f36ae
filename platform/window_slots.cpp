#include "platform/window_slots.h"

#include <algorithm>

namespace nv::platform {

void clear_client(ClientArea& w) {
  w.client.assign(size_t(std::max(w.spec.client_width, 0)) * size_t(std::max(w.spec.client_height, 0)), 0xFF000000u);
}

void paste_into_client(ClientArea& w, const uint32_t* pixels, int width, int height, int x, int y) {
  const int cw = w.spec.client_width, ch = w.spec.client_height;
  int x0 = std::max(0, x), y0 = std::max(0, y);
  int x1 = std::min(cw, x + width), y1 = std::min(ch, y + height);
  for (int cy = y0; cy < y1; ++cy) {
    const uint32_t* src = pixels + size_t(cy - y) * size_t(width) + size_t(x0 - x);
    std::copy(src, src + (x1 - x0), w.client.begin() + ptrdiff_t(size_t(cy) * size_t(cw) + size_t(x0)));
  }
}

std::vector<uint32_t> client_copy(const ClientArea* w, int& width, int& height) {
  if (!w) {
    width = height = 0;
    return {};
  }
  width = w->spec.client_width;
  height = w->spec.client_height;
  return w->client;
}

}  // namespace nv::platform
