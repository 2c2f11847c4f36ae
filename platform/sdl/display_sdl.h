// SDL2 windows: one SDL window, renderer and streaming texture per slot;
// a shaped window is remade as one of SDL's shaped windows.
// Full screen is desktop full screen with the client picture scaled to fit,
// its aspect kept (letterboxed); mouse positions are mapped back through
// the scaling.
// A window given a menu bar is taller by the bar's strip, drawn above the
// canvas with `menu_font`; in full screen the bar is laid over the top of
// the screen while the pointer is at its top edge. Pop-up menus and the
// bar's pull-downs are drawn with the same font; without one, pop-ups
// answer 0 and no bar is shown.
#pragma once

#include <memory>
#include <string>

#include "platform/display.h"
#include "platform/ui_font.h"

struct SDL_Window;

namespace nv::platform {

// Opens SDL's video subsystem; nullptr (with the reason in `error`) when no
// display can be opened.
std::unique_ptr<Display> make_sdl_display(std::string& error, std::shared_ptr<UiFont> menu_font = nullptr);

// The SDL window of a slot of a display made by make_sdl_display; nullptr
// when the slot has none.
SDL_Window* sdl_window_of(Display& display, int slot);

}  // namespace nv::platform
