// Window shapes for SDL's shaped windows: a list of client rectangles
// becomes a mask surface whose opaque pixels are the part that shows.
#pragma once

#include <SDL.h>

#include <vector>

#include "platform/display.h"

namespace nv::platform {

// A `width` x `height` ARGB surface, alpha 255 inside the rectangles (clipped
// to the surface) and 0 elsewhere; nullptr when SDL cannot make it.
SDL_Surface* make_shape_surface(int width, int height, const std::vector<Rect>& rects);

// Shapes a window made by SDL_CreateShapedWindow; the mask is the window's
// size, as SDL requires. False when SDL refuses.
bool apply_window_shape(SDL_Window* window, int width, int height, const std::vector<Rect>& rects);

}  // namespace nv::platform
