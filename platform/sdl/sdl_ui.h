// What the SDL backend shows of the engine-drawn pieces: pop-up menus in
// windows of their own, and the input dialog. Both run a loop of their own
// until the user is done; events for other windows that arrive meanwhile
// are kept in `deferred` for the display to deliver afterwards.
#pragma once

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/input_box.h"
#include "platform/menu_layout.h"

namespace nv::platform {

// Runs `session` (a pop-up, or a menu bar whose strip the caller draws:
// `bar_changed` is told the dropped entry) until it finishes; returns the
// chosen id, 0 for none. Positions are desktop points.
uint32_t run_sdl_menu(MenuSession& session, UiFont& font, std::vector<SDL_Event>& deferred,
                      const std::function<void(int open)>& bar_changed = {});

// Shows the input dialog over `owner` (may be null) until OK; returns the
// field's text in Shift-JIS.
std::string run_sdl_input_box(const InputBoxSpec& spec, UiFont& font, SDL_Window* owner,
                              std::vector<SDL_Event>& deferred);

// Copies a picture into a window's renderer through a streaming texture
// (made again when its size changed) and shows it.
void show_picture(SDL_Renderer* r, SDL_Texture*& t, const PixelBuffer& b);

}  // namespace nv::platform
