#include <memory>

#include "platform/sdl/sdl_ui.h"

namespace nv::platform {

void show_picture(SDL_Renderer* r, SDL_Texture*& t, const PixelBuffer& b) {
  int w = 0, h = 0;
  if (t && (SDL_QueryTexture(t, nullptr, nullptr, &w, &h) != 0 || w != b.width || h != b.height)) {
    SDL_DestroyTexture(t);
    t = nullptr;
  }
  if (!t) t = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, b.width, b.height);
  if (!t) return;
  SDL_UpdateTexture(t, nullptr, b.pixels.data(), b.width * 4);
  SDL_RenderClear(r);
  SDL_RenderCopy(r, t, nullptr, nullptr);
  SDL_RenderPresent(r);
}

namespace {

// One open panel as a borderless pop-up window.
struct PanelWindow {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  const MenuList* items = nullptr;
  int x = 0, y = 0;

  PanelWindow() = default;
  PanelWindow(const PanelWindow&) = delete;
  PanelWindow& operator=(const PanelWindow&) = delete;
  ~PanelWindow() {
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
  }
};

std::unique_ptr<PanelWindow> open_window(const MenuSession::Panel& p) {
  auto w = std::make_unique<PanelWindow>();
  w->items = p.items;
  w->x = p.x;
  w->y = p.y;
  w->window = SDL_CreateWindow("", p.x, p.y, p.layout.width, p.layout.height,
                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR |
                                   SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SHOWN);
  if (!w->window) return w;
  w->renderer = SDL_CreateRenderer(w->window, -1, SDL_RENDERER_SOFTWARE);
  return w;
}

bool is_panel_window(const std::vector<std::unique_ptr<PanelWindow>>& ws, Uint32 id) {
  for (const auto& w : ws)
    if (w->window && SDL_GetWindowID(w->window) == id) return true;
  return false;
}

Uint32 window_of(const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_WINDOWEVENT: return ev.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return ev.key.windowID;
    case SDL_MOUSEMOTION: return ev.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return ev.button.windowID;
    case SDL_MOUSEWHEEL: return ev.wheel.windowID;
    case SDL_TEXTINPUT: return ev.text.windowID;
    case SDL_TEXTEDITING: return ev.edit.windowID;
    default: return 0;
  }
}

// The desktop point of a mouse event at (x, y) in window `id`. The point
// is taken from the event rather than from SDL's global mouse state, which
// on X11 may lag behind a pointer that was warped there. A window whose
// renderer scales the picture (full screen) reports scaled points.
void desktop_point(Uint32 id, int x, int y, int& gx, int& gy) {
  SDL_Window* w = SDL_GetWindowFromID(id);
  if (!w) {
    SDL_GetGlobalMouseState(&gx, &gy);
    return;
  }
  int wx = 0, wy = 0;
  SDL_GetWindowPosition(w, &wx, &wy);
  if (SDL_Renderer* r = SDL_GetRenderer(w)) {
    int lw = 0, lh = 0;
    SDL_RenderGetLogicalSize(r, &lw, &lh);
    if (lw > 0 && lh > 0) SDL_RenderLogicalToWindow(r, float(x), float(y), &x, &y);
  }
  gx = wx + x;
  gy = wy + y;
}

}  // namespace

uint32_t run_sdl_menu(MenuSession& s, UiFont& font, std::vector<SDL_Event>& deferred,
                      const std::function<void(int)>& bar_changed) {
  std::vector<std::unique_ptr<PanelWindow>> windows;
  int last_bar = -2;
  while (!s.finished()) {
    if (s.take_changed()) {
      // The windows follow the session's panels: one window per panel,
      // made again when a level shows another panel.
      const auto& panels = s.panels();
      if (windows.size() > panels.size()) windows.resize(panels.size());
      for (size_t i = 0; i < panels.size(); ++i) {
        if (i < windows.size() && windows[i]->items == panels[i].items && windows[i]->x == panels[i].x &&
            windows[i]->y == panels[i].y)
          continue;
        windows.resize(i);
        windows.push_back(open_window(panels[i]));
      }
      for (size_t i = 0; i < panels.size(); ++i) {
        PanelWindow& w = *windows[i];
        if (!w.renderer) continue;
        show_picture(w.renderer, w.texture,
                     draw_panel(*panels[i].items, panels[i].layout, panels[i].highlighted, font, s.metrics()));
      }
      if (bar_changed && s.bar_open() != last_bar) bar_changed(last_bar = s.bar_open());
    }
    SDL_Event ev;
    if (!SDL_WaitEventTimeout(&ev, 50)) continue;
    int gx = 0, gy = 0;
    switch (ev.type) {
      case SDL_MOUSEMOTION:
        desktop_point(ev.motion.windowID, ev.motion.x, ev.motion.y, gx, gy);
        s.pointer_move(gx, gy);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (ev.button.button != SDL_BUTTON_LEFT && ev.button.button != SDL_BUTTON_RIGHT) break;
        desktop_point(ev.button.windowID, ev.button.x, ev.button.y, gx, gy);
        if (ev.type == SDL_MOUSEBUTTONDOWN) s.press(gx, gy);
        else s.release(gx, gy);
        break;
      case SDL_KEYDOWN:
        if (ev.key.keysym.scancode == SDL_SCANCODE_ESCAPE) s.escape();
        break;
      case SDL_QUIT:
        s.escape();
        deferred.push_back(ev);
        break;
      case SDL_WINDOWEVENT:
        if (!is_panel_window(windows, ev.window.windowID)) deferred.push_back(ev);
        break;
      default:
        // Keys, text and wheel turns belong to the menu while it is open.
        if (ev.type == SDL_MOUSEWHEEL || ev.type == SDL_KEYUP || ev.type == SDL_TEXTINPUT ||
            ev.type == SDL_TEXTEDITING)
          break;
        if (!is_panel_window(windows, window_of(ev))) deferred.push_back(ev);
        break;
    }
  }
  windows.clear();
  if (bar_changed && last_bar != -1) bar_changed(-1);
  return s.chosen();
}

}  // namespace nv::platform
