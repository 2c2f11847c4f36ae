#include "platform/sdl/sdl_shape.h"

namespace nv::platform {

SDL_Surface* make_shape_surface(int width, int height, const std::vector<Rect>& rects) {
  if (width <= 0 || height <= 0) return nullptr;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return nullptr;
  SDL_FillRect(s, nullptr, 0x00000000u);
  const Uint32 opaque = SDL_MapRGBA(s->format, 255, 255, 255, 255);
  for (const Rect& r : rects) {
    if (r.width() <= 0 || r.height() <= 0) continue;
    SDL_Rect box{r.left, r.top, r.width(), r.height()};  // SDL_FillRect clips to the surface
    SDL_FillRect(s, &box, opaque);
  }
  return s;
}

bool apply_window_shape(SDL_Window* window, int width, int height, const std::vector<Rect>& rects) {
  SDL_Surface* mask = make_shape_surface(width, height, rects);
  if (!mask) return false;
  // Some backends read the mode unconditionally: always pass one.
  SDL_WindowShapeMode mode;
  mode.mode = ShapeModeBinarizeAlpha;
  mode.parameters.binarizationCutoff = 128;
  const int rc = SDL_SetWindowShape(window, mask, &mode);
  SDL_FreeSurface(mask);
  return rc == 0;
}

}  // namespace nv::platform
