#include "platform/sdl/display_sdl.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>

#include "platform/encoding.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_shape.h"
#include "platform/sdl/sdl_ui.h"
#include "platform/window_slots.h"

namespace nv::platform {

namespace {

struct SdlWindow : ClientArea {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int slot = 0;
  bool dirty = true;
  // SDL shapes only windows made shaped, and those have no frame: the
  // first shape remakes the window as a shaped one, clear_shape() as a
  // plain one again. `shape` is what the engine asked for; the main window
  // is plain while in full screen and gets its shape back afterwards.
  bool shaped = false;
  bool has_shape = false;
  std::vector<Rect> shape;
  int windowed_x = 0, windowed_y = 0;  // client position before full screen
  // A window made hidden is placed when it is first shown: at the outer
  // position (x, y), or with its client there when `place_client`.
  bool place_on_show = false;
  bool place_client = false;
  int place_x = 0, place_y = 0;
  bool has_menu_bar = false;
  MenuList menu_bar;
  // The menu bar strip: `bar_h` pixels above the canvas in a window, laid
  // over the top of the screen in full screen (`bar_overlay`, shown while
  // `bar_shown`); its picture is `bar_texture`, drawn again when
  // `bar_stale`. `bar_open` is the entry dropped now.
  int bar_h = 0;
  bool bar_overlay = false;
  bool bar_shown = false;
  SDL_Texture* bar_texture = nullptr;
  bool bar_stale = true;
  int bar_open = -1;

  bool open() const { return window != nullptr; }
};

class SdlDisplay final : public Display {
 public:
  SdlDisplay() = default;
  ~SdlDisplay() override {
    for (int s = 0; s < kWindowSlots; ++s) destroy_window(s);
    for (SDL_Cursor* c : cursors_)
      if (c) SDL_FreeCursor(c);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // The desktop-bus link the video subsystem opened ends only with
    // SDL_Quit; when no other subsystem is in use, end SDL altogether.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }

  DesktopSize desktop() override {
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(0, &m) != 0) return {0, 0};
    return {m.w, m.h};
  }

  // Measured on a framed window when there is one; the last measure is kept.
  Rect frame_margins(bool framed) override {
    if (!framed) return {};
    for (const SdlWindow& w : windows_) {
      if (!w.window || !has_frame(w)) continue;
      int top = 0, left = 0, bottom = 0, right = 0;
      if (SDL_GetWindowBordersSize(w.window, &top, &left, &bottom, &right) == 0 && (top | left | bottom | right) != 0)
        margins_ = {left, top, right, bottom};
      break;
    }
    return margins_;
  }

  bool create_window(int slot, const WindowSpec& spec) override {
    if (!windows_.valid(slot)) return false;
    destroy_window(slot);
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | (spec.shown ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
    if (!spec.framed) flags |= SDL_WINDOW_BORDERLESS;
    if (spec.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (spec.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    Rect m = frame_margins(spec.framed);
    SdlWindow& w = windows_[slot];
    w.window = SDL_CreateWindow(sjis_to_utf8(spec.caption).c_str(), spec.x + m.left, spec.y + m.top,
                                spec.client_width, spec.client_height + w.bar_h, flags);
    if (!w.window) return false;
    w.renderer = new_renderer(w.window);
    if (!w.renderer) {
      destroy_window(slot);
      return false;
    }
    w.spec = spec;
    w.slot = slot;
    SDL_SetWindowData(w.window, "nv_slot", &w);
    if (!make_texture(w)) {
      destroy_window(slot);
      return false;
    }
    SDL_SetWindowHitTest(w.window, &SdlDisplay::hit_test, &w);
    if (spec.framed) {
      if (spec.shown) place_shown(w, spec.x, spec.y, false);
      else {
        w.place_on_show = true;
        w.place_client = false;
        w.place_x = spec.x;
        w.place_y = spec.y;
      }
    }
    return true;
  }

  void destroy_window(int slot) override {
    if (!windows_.valid(slot)) return;
    SdlWindow& w = windows_[slot];
    if (w.bar_texture) SDL_DestroyTexture(w.bar_texture);
    if (w.texture) SDL_DestroyTexture(w.texture);
    if (w.renderer) SDL_DestroyRenderer(w.renderer);
    if (w.window) SDL_DestroyWindow(w.window);
    w = SdlWindow{};
  }

  bool exists(int slot) override { return get(slot) != nullptr; }

  void set_caption(int slot, const std::string& caption) override {
    if (SdlWindow* w = get(slot)) {
      w->spec.caption = caption;
      SDL_SetWindowTitle(w->window, sjis_to_utf8(caption).c_str());
    }
  }

  void show(int slot, bool shown) override {
    if (SdlWindow* w = get(slot)) {
      if (shown) SDL_ShowWindow(w->window);
      else SDL_HideWindow(w->window);
      w->spec.shown = shown;
      if (shown && w->place_on_show) place_shown(*w, w->place_x, w->place_y, w->place_client);
    }
  }

  void move(int slot, int x, int y) override {
    if (SdlWindow* w = get(slot)) {
      Rect m = frame_margins(has_frame(*w));
      SDL_SetWindowPosition(w->window, x + m.left, y + m.top);
      w->place_client = false;
      w->place_x = x;
      w->place_y = y;
    }
  }

  void resize_client(int slot, int width, int height) override {
    SdlWindow* w = get(slot);
    if (!w || width <= 0 || height <= 0) return;
    w->spec.client_width = width;
    w->spec.client_height = height;
    if (fullscreen_ && slot == 0) {
      make_texture(*w);
      return;
    }
    // A shaped window is made anew at the new size: its mask must match it.
    if (w->shaped) {
      int x = 0, y = 0;
      SDL_GetWindowPosition(w->window, &x, &y);
      if (rebuild(*w, true, w->shape, x, y)) return;
    }
    SDL_SetWindowSize(w->window, width, height + w->bar_h);
    w->bar_stale = true;
    make_texture(*w);
  }

  Rect outer_rect(int slot) override {
    SdlWindow* w = get(slot);
    if (!w) return {};
    int x = 0, y = 0;
    SDL_GetWindowPosition(w->window, &x, &y);
    Rect m = frame_margins(has_frame(*w));
    return {x - m.left, y - m.top, x + w->spec.client_width + m.right, y + w->bar_h + w->spec.client_height + m.bottom};
  }

  void set_z_order(int slot, ZOrder z) override {
    SdlWindow* w = get(slot);
    if (!w) return;
    SDL_SetWindowAlwaysOnTop(w->window, z == ZOrder::always_on_top ? SDL_TRUE : SDL_FALSE);
    if (z == ZOrder::top || z == ZOrder::always_on_top) SDL_RaiseWindow(w->window);
    else if (z == ZOrder::behind_main && windows_[0].window) SDL_RaiseWindow(windows_[0].window);
    // The desktop offers no "to the bottom" for a window; it stays where it is.
  }

  void set_maximize_box(int slot, bool on) override {
    if (SdlWindow* w = get(slot)) {
      w->spec.maximize_box = on;
      SDL_SetWindowResizable(w->window, (on || w->spec.resizable) ? SDL_TRUE : SDL_FALSE);
    }
  }

  void raise(int slot) override {
    if (SdlWindow* w = get(slot)) {
      SDL_RestoreWindow(w->window);
      SDL_RaiseWindow(w->window);
    }
  }
  void minimize(int slot) override {
    if (SdlWindow* w = get(slot)) SDL_MinimizeWindow(w->window);
  }
  void restore(int slot) override {
    if (SdlWindow* w = get(slot)) SDL_RestoreWindow(w->window);
  }
  bool is_minimized(int slot) override {
    SdlWindow* w = get(slot);
    return w && (SDL_GetWindowFlags(w->window) & SDL_WINDOW_MINIMIZED);
  }

  // False, with the window unchanged, when the desktop has no shaped windows.
  bool set_shape(int slot, const std::vector<Rect>& rects) override {
    SdlWindow* w = get(slot);
    if (!w) return false;
    if (!(slot == 0 && fullscreen_)) {
      if (w->shaped) {
        if (!apply_window_shape(w->window, w->spec.client_width, w->spec.client_height, rects)) return false;
        w->dirty = true;
        flush(*w);
      } else {
        int x = 0, y = 0;
        SDL_GetWindowPosition(w->window, &x, &y);
        if (!rebuild(*w, true, rects, x, y)) return false;
      }
    }
    w->shape = rects;
    w->has_shape = true;
    return true;
  }

  void clear_shape(int slot) override {
    SdlWindow* w = get(slot);
    if (!w) return;
    w->has_shape = false;
    w->shape.clear();
    if (w->shaped) {
      int x = 0, y = 0;
      SDL_GetWindowPosition(w->window, &x, &y);
      rebuild(*w, false, {}, x, y);
    }
  }

  void set_drag_test(int slot, std::function<bool(int x, int y)> test) override {
    if (SdlWindow* w = get(slot)) w->drag_test = std::move(test);
  }

  bool set_fullscreen(bool on, int width, int height) override {
    SdlWindow* w = get(0);
    if (!w) return false;
    if (on && !fullscreen_) {
      SDL_GetWindowPosition(w->window, &w->windowed_x, &w->windowed_y);
      // A full screen is never cut by a shape: the window goes plain first.
      if (w->shaped && !rebuild(*w, false, {}, w->windowed_x, w->windowed_y)) return false;
    }
    if (SDL_SetWindowFullscreen(w->window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    const bool was = fullscreen_;
    fullscreen_ = on;
    fit_menu_bar(*w);
    if (on) SDL_RenderSetLogicalSize(w->renderer, width, height);
    else {
      SDL_RenderSetLogicalSize(w->renderer, 0, 0);
      SDL_SetWindowSize(w->window, w->spec.client_width, w->spec.client_height + w->bar_h);
      int x = w->windowed_x, y = w->windowed_y;
      if (was) SDL_SetWindowPosition(w->window, x, y);
      else SDL_GetWindowPosition(w->window, &x, &y);
      if (w->has_shape && !w->shaped) rebuild(*w, true, w->shape, x, y);
    }
    w->dirty = true;
    flush(*w);
    return true;
  }
  bool is_fullscreen() override { return fullscreen_; }

  void present(int slot, const uint32_t* pixels, int width, int height, int x, int y) override {
    SdlWindow* w = get(slot);
    if (!w || !pixels || width <= 0 || height <= 0) return;
    paste_into_client(*w, pixels, width, height, x, y);
    w->dirty = true;
    flush(*w);
  }

  void blank(int slot) override {
    if (SdlWindow* w = get(slot)) {
      std::fill(w->client.begin(), w->client.end(), 0xFF000000u);
      w->dirty = true;
      flush(*w);
    }
  }

  std::vector<uint32_t> client_pixels(int slot, int& width, int& height) override {
    return client_copy(get(slot), width, height);
  }

  void pump_events(WindowEvents& sink) override {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) handle(ev, sink);
  }

  bool run_preview(uint64_t parent, const uint32_t* pixels, int width, int height) override {
    // SDL draws straight into the desktop's window: the picture fills it
    // from its corner, which is what a child window filling it would show.
    SDL_Window* win = SDL_CreateWindowFrom(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)));
    if (!win) return false;
    SDL_Renderer* ren = SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
    SDL_Texture* tex = ren ? SDL_CreateTexture(ren, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, width, height)
                           : nullptr;
    bool ok = tex != nullptr;
    if (ok) {
      SDL_UpdateTexture(tex, nullptr, pixels, width * 4);
      const Uint32 id = SDL_GetWindowID(win);
      bool running = true;
      while (running) {
        SDL_Rect dst{0, 0, width, height};
        SDL_SetRenderDrawColor(ren, 0, 0, 0, 255);
        SDL_RenderClear(ren);
        SDL_RenderCopy(ren, tex, nullptr, &dst);
        SDL_RenderPresent(ren);
        SDL_Event ev;
        if (SDL_WaitEventTimeout(&ev, 200) == 0) continue;
        if (ev.type == SDL_QUIT) running = false;
        if (ev.type == SDL_WINDOWEVENT && ev.window.windowID == id &&
            (ev.window.event == SDL_WINDOWEVENT_CLOSE || ev.window.event == SDL_WINDOWEVENT_HIDDEN))
          running = false;
      }
    }
    if (tex) SDL_DestroyTexture(tex);
    if (ren) SDL_DestroyRenderer(ren);
    SDL_DestroyWindow(win);
    return ok;
  }

  void show_cursor(bool shown) override { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }
  // SDL's global mouse state on X11 follows the pointing device only: a
  // pointer warped there (by MOUSE, or by another program) shows first in
  // the motion events of the window under it, so that window's point is
  // taken when there is one.
  void cursor_position(int& x, int& y) override {
    if (SDL_Window* focus = SDL_GetMouseFocus()) {
      int mx = 0, my = 0, wx = 0, wy = 0;
      SDL_GetMouseState(&mx, &my);
      SDL_GetWindowPosition(focus, &wx, &wy);
      x = wx + mx;
      y = wy + my;
      return;
    }
    SDL_GetGlobalMouseState(&x, &y);
  }

  bool client_cursor(int slot, int& x, int& y) override {
    SdlWindow* w = get(slot);
    if (!w) return false;
    int gx = 0, gy = 0, wx = 0, wy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    SDL_GetWindowPosition(w->window, &wx, &wy);
    window_to_canvas(*w, gx - wx, gy - wy - w->bar_h, x, y);
    return true;
  }

  void warp_cursor(int slot, int x, int y) override {
    SdlWindow* w = get(slot);
    if (!w) return;
    int lw = 0, lh = 0;
    SDL_RenderGetLogicalSize(w->renderer, &lw, &lh);
    if (lw > 0 && lh > 0) {
      int wx = 0, wy = 0;
      SDL_RenderLogicalToWindow(w->renderer, float(x) + 0.5f, float(y) + 0.5f, &wx, &wy);
      x = wx;
      y = wy;
    }
    SDL_WarpMouseInWindow(w->window, x, y + w->bar_h);
  }

  void set_cursor_shape(int shape) override {
    static constexpr SDL_SystemCursor kShapes[] = {
        SDL_SYSTEM_CURSOR_ARROW,    SDL_SYSTEM_CURSOR_IBEAM,   SDL_SYSTEM_CURSOR_WAIT,
        SDL_SYSTEM_CURSOR_CROSSHAIR, SDL_SYSTEM_CURSOR_ARROW,  SDL_SYSTEM_CURSOR_SIZENWSE,
        SDL_SYSTEM_CURSOR_SIZENESW, SDL_SYSTEM_CURSOR_SIZEWE,  SDL_SYSTEM_CURSOR_SIZENS,
        SDL_SYSTEM_CURSOR_SIZEALL,  SDL_SYSTEM_CURSOR_NO,      SDL_SYSTEM_CURSOR_HAND,
        SDL_SYSTEM_CURSOR_WAITARROW, SDL_SYSTEM_CURSOR_ARROW};
    // The desktop has no up-arrow or help cursor of its own: both show the arrow.
    const SDL_SystemCursor id = shape >= 0 && shape <= 13 ? kShapes[shape] : SDL_SYSTEM_CURSOR_ARROW;
    SDL_Cursor*& c = cursors_[id];
    if (!c) c = SDL_CreateSystemCursor(id);
    if (c) SDL_SetCursor(c);
  }

  void set_menu_bar(int slot, const MenuList* bar) override {
    if (SdlWindow* w = get(slot)) {
      w->has_menu_bar = bar != nullptr;
      w->menu_bar = bar ? *bar : MenuList{};
      w->bar_stale = true;
      fit_menu_bar(*w);
      w->dirty = true;
      flush(*w);
    }
  }

  uint32_t popup_menu(const MenuList& items, int x, int y) override {
    if (!font_) return 0;
    MenuSession s = MenuSession::popup(items, x, y, screen(), *font_);
    const uint32_t id = run_sdl_menu(s, *font_, deferred_);
    redeliver_deferred();
    return id;
  }

  SDL_Window* sdl_window(int slot) {
    SdlWindow* w = get(slot);
    return w ? w->window : nullptr;
  }

  void set_ui_font(std::shared_ptr<UiFont> font) {
    font_ = std::move(font);
    for (int s = 0; s < kWindowSlots; ++s)
      if (windows_[s].window) fit_menu_bar(windows_[s]);
  }

 private:
  SdlWindow* get(int slot) { return windows_.get(slot); }

  int slot_of(Uint32 window_id) {
    for (int s = 0; s < kWindowSlots; ++s)
      if (windows_[s].window && SDL_GetWindowID(windows_[s].window) == window_id) return s;
    return -1;
  }

  static bool has_frame(const SdlWindow& w) { return w.spec.framed && !w.shaped; }

  // The desktop the menus are kept inside.
  static Rect screen() {
    SDL_Rect b{0, 0, 0, 0};
    if (SDL_GetDisplayBounds(0, &b) != 0) return {};
    return {b.x, b.y, b.x + b.w, b.y + b.h};
  }

  void redeliver_deferred() {
    for (const SDL_Event& ev : deferred_) {
      SDL_Event copy = ev;
      SDL_PushEvent(&copy);
    }
    deferred_.clear();
  }

  // Sets the strip of a window's menu bar: above the canvas in a window
  // (the window grows by it, the canvas keeps its size), over the top of
  // the screen in full screen. A shaped window shows no bar (it has no
  // frame to hang one from); neither does a window without the menu font.
  void fit_menu_bar(SdlWindow& w) {
    const bool fs = fullscreen_ && w.slot == 0;
    const int h = w.has_menu_bar && font_ && !w.shaped ? menu_metrics(*font_).bar_height : 0;
    const int strip = fs ? 0 : h;
    w.bar_overlay = fs && h > 0;
    if (!w.bar_overlay) w.bar_shown = false;
    w.bar_stale = true;
    if (strip == w.bar_h) return;
    w.bar_h = strip;
    if (!fs) SDL_SetWindowSize(w.window, w.spec.client_width, w.spec.client_height + w.bar_h);
  }

  // Height of the bar in window pixels (0 without one, or while the full
  // screen's bar is hidden).
  int bar_height(const SdlWindow& w) const {
    return w.bar_overlay ? (w.bar_shown ? menu_metrics(*font_).bar_height : 0) : w.bar_h;
  }

  // In full screen the bar covers the top of the picture only while the
  // player wants it: it appears when the pointer reaches the screen's top
  // edge and goes when the pointer leaves the strip, as a full-screen
  // player or viewer does. A bar always shown would hide part of every
  // scene the title draws for the whole screen.
  void reveal_overlay(SdlWindow& w, int ex, int ey) {
    if (!w.bar_overlay) return;
    int x = 0, y = 0;
    event_to_window(w, ex, ey, x, y);
    const bool shown = w.bar_shown ? y < menu_metrics(*font_).bar_height : y <= 1;
    if (shown == w.bar_shown) return;
    w.bar_shown = shown;
    w.dirty = true;
    flush(w);
  }

  // Draws the bar picture into its texture when it changed.
  void draw_bar(SdlWindow& w, int width) {
    if (!w.bar_stale && w.bar_texture) return;
    const PixelBuffer pic = draw_menu_bar(w.menu_bar, width, w.bar_open, *font_, menu_metrics(*font_));
    int tw = 0, th = 0;
    if (w.bar_texture && (SDL_QueryTexture(w.bar_texture, nullptr, nullptr, &tw, &th) != 0 || tw != pic.width ||
                          th != pic.height)) {
      SDL_DestroyTexture(w.bar_texture);
      w.bar_texture = nullptr;
    }
    if (!w.bar_texture)
      w.bar_texture =
          SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, pic.width, pic.height);
    if (w.bar_texture) SDL_UpdateTexture(w.bar_texture, nullptr, pic.pixels.data(), pic.width * 4);
    w.bar_stale = false;
  }

  // A mouse event's point in window pixels (SDL gives canvas points while
  // a full screen scales the picture).
  static void event_to_window(const SdlWindow& w, int x, int y, int& wx, int& wy) {
    int lw = 0, lh = 0;
    SDL_RenderGetLogicalSize(w.renderer, &lw, &lh);
    wx = x;
    wy = y;
    if (lw > 0 && lh > 0) SDL_RenderLogicalToWindow(w.renderer, float(x), float(y), &wx, &wy);
  }

  // A press on the menu bar: runs the bar's menu until the user chooses or
  // dismisses; a chosen item reaches the sink. False when the point is not
  // on the bar.
  bool press_on_bar(SdlWindow& w, int ex, int ey, WindowEvents& sink) {
    const int h = bar_height(w);
    if (h == 0) return false;
    int x = 0, y = 0;
    event_to_window(w, ex, ey, x, y);
    int ww = 0, wh = 0, wx = 0, wy = 0;
    SDL_GetWindowSize(w.window, &ww, &wh);
    if (x < 0 || y < 0 || x >= ww || y >= h) return false;
    SDL_GetWindowPosition(w.window, &wx, &wy);
    MenuSession s = MenuSession::bar(w.menu_bar, {wx, wy, wx + ww, wy + h}, screen(), *font_);
    s.press(wx + x, wy + y);
    const int slot = w.slot;
    const uint32_t id = run_sdl_menu(s, *font_, deferred_, [&](int open) {
      w.bar_open = open;
      w.bar_stale = true;
      w.dirty = true;
      flush(w);
    });
    redeliver_deferred();
    if (id != 0) sink.on_menu_command(slot, id);
    return true;
  }

  static SDL_Renderer* new_renderer(SDL_Window* window) {
    SDL_Renderer* r = SDL_CreateRenderer(window, -1, 0);
    return r ? r : SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  }

  // The frame of a window just shown, once the window manager has told it
  // (zero when it does not within a moment). Events stay queued for
  // pump_events.
  static Rect wait_for_frame(SDL_Window* win) {
    int top = 0, left = 0, bottom = 0, right = 0;
    for (int i = 0; i < 50; ++i) {
      SDL_PumpEvents();
      if (SDL_GetWindowBordersSize(win, &top, &left, &bottom, &right) == 0 && (top | left | bottom | right) != 0)
        return {left, top, right, bottom};
      SDL_Delay(5);
    }
    return {};
  }

  // Places a window that has just been shown: its outer top-left at (x, y),
  // or its client's when `client`. A window manager puts a new window's
  // frame where its client was asked to be and tells the frame's size only
  // once the window appears, so a framed window is moved after that. A
  // shaped window placed before it appears is where it was asked to be, but
  // SDL then believes it elsewhere; placed after, both agree.
  static void place_shown(SdlWindow& w, int x, int y, bool client) {
    w.place_on_show = false;
    if (w.shaped || !w.spec.framed) {
      SDL_SetWindowPosition(w.window, x, y);
      return;
    }
    const Rect b = wait_for_frame(w.window);
    SDL_SetWindowPosition(w.window, client ? x : x + b.left, client ? y : y + b.top);
  }

  // A shaped window with a renderer, or nullptr. A renderer that needs a
  // window of another kind makes the window anew and loses its shaper, so
  // the window is made for OpenGL first and drawn in software otherwise.
  // SDL parks a new shaped window off-screen until it is placed.
  static SDL_Window* new_shaped_window(const std::string& caption, int width, int height, Uint32 flags,
                                       SDL_Renderer*& ren) {
    for (const bool gl : {true, false}) {
      SDL_Window* win = SDL_CreateShapedWindow(caption.c_str(), 0, 0, unsigned(width), unsigned(height),
                                               gl ? flags | SDL_WINDOW_OPENGL : flags);
      if (!win) continue;
      ren = gl ? SDL_CreateRenderer(win, -1, 0) : SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
      if (ren && SDL_IsShapedWindow(win)) return win;
      if (ren) SDL_DestroyRenderer(ren);
      ren = nullptr;
      SDL_DestroyWindow(win);
    }
    return nullptr;
  }

  // ARGB8888 is stored B, G, R, A in memory on little-endian hosts: the
  // engine's own pixel layout.
  static SDL_Texture* new_texture(SDL_Renderer* r, const WindowSpec& spec) {
    return SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, spec.client_width,
                             spec.client_height);
  }

  // Makes the SDL window of `w` anew, shaped by `rects` or plain, with its
  // client's top-left at (x, y); caption, client size, shown state, the
  // stacking, the drag test and (at an unchanged size) the client picture
  // carry over. On failure the old window stays as it was.
  bool rebuild(SdlWindow& w, bool shaped, const std::vector<Rect>& rects, int x, int y) {
    const WindowSpec& spec = w.spec;
    const std::string caption = sjis_to_utf8(spec.caption);
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN;
    if (SDL_GetWindowFlags(w.window) & SDL_WINDOW_ALWAYS_ON_TOP) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    SDL_Window* win = nullptr;
    SDL_Renderer* ren = nullptr;
    if (shaped) {
      win = new_shaped_window(caption, spec.client_width, spec.client_height, flags, ren);
    } else {
      if (!spec.framed) flags |= SDL_WINDOW_BORDERLESS;
      if (spec.resizable || spec.maximize_box) flags |= SDL_WINDOW_RESIZABLE;
      win = SDL_CreateWindow(caption.c_str(), x, y, spec.client_width, spec.client_height + w.bar_h, flags);
      ren = win ? new_renderer(win) : nullptr;
    }
    if (!win) return false;
    SDL_Texture* tex = ren ? new_texture(ren, spec) : nullptr;
    if (!tex || (shaped && !apply_window_shape(win, spec.client_width, spec.client_height, rects))) {
      if (tex) SDL_DestroyTexture(tex);
      if (ren) SDL_DestroyRenderer(ren);
      SDL_DestroyWindow(win);
      return false;
    }
    if (w.bar_texture) SDL_DestroyTexture(w.bar_texture);
    w.bar_texture = nullptr;
    SDL_DestroyTexture(w.texture);
    SDL_DestroyRenderer(w.renderer);
    SDL_DestroyWindow(w.window);
    w.window = win;
    w.renderer = ren;
    w.texture = tex;
    w.shaped = shaped;
    fit_menu_bar(w);
    SDL_SetWindowData(win, "nv_slot", &w);
    SDL_SetWindowHitTest(win, &SdlDisplay::hit_test, &w);
    if (w.client.size() != size_t(spec.client_width) * size_t(spec.client_height)) clear_client(w);
    if (spec.shown) {
      SDL_ShowWindow(win);
      place_shown(w, x, y, true);
    } else {
      SDL_SetWindowPosition(win, x, y);
      w.place_on_show = true;
      w.place_client = true;
      w.place_x = x;
      w.place_y = y;
    }
    w.dirty = true;
    flush(w);
    return true;
  }

  bool make_texture(SdlWindow& w) {
    if (w.texture) SDL_DestroyTexture(w.texture);
    w.texture = new_texture(w.renderer, w.spec);
    clear_client(w);
    w.dirty = true;
    return w.texture != nullptr;
  }

  void flush(SdlWindow& w) {
    if (!w.dirty) return;
    SDL_UpdateTexture(w.texture, nullptr, w.client.data(), w.spec.client_width * 4);
    SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);
    SDL_RenderClear(w.renderer);
    if (w.bar_h > 0) {
      const SDL_Rect canvas{0, w.bar_h, w.spec.client_width, w.spec.client_height};
      SDL_RenderCopy(w.renderer, w.texture, nullptr, &canvas);
      draw_bar(w, w.spec.client_width);
      const SDL_Rect bar{0, 0, w.spec.client_width, w.bar_h};
      if (w.bar_texture) SDL_RenderCopy(w.renderer, w.bar_texture, nullptr, &bar);
    } else {
      SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
    }
    if (w.bar_overlay && w.bar_shown) {
      // Over a scaled full screen the bar is drawn at the screen's own
      // scale, where the menu's panels and its clicks are measured.
      int lw = 0, lh = 0, ww = 0, wh = 0;
      SDL_RenderGetLogicalSize(w.renderer, &lw, &lh);
      SDL_GetWindowSize(w.window, &ww, &wh);
      SDL_RenderSetLogicalSize(w.renderer, 0, 0);
      draw_bar(w, ww);
      const SDL_Rect bar{0, 0, ww, bar_height(w)};
      if (w.bar_texture) SDL_RenderCopy(w.renderer, w.bar_texture, nullptr, &bar);
      SDL_RenderSetLogicalSize(w.renderer, lw, lh);
    }
    SDL_RenderPresent(w.renderer);
    w.dirty = false;
  }

  // SDL gives window points; the engine tests canvas points, which differ
  // while a full screen scales the picture.
  static SDL_HitTestResult SDLCALL hit_test(SDL_Window*, const SDL_Point* p, void* data) {
    auto* w = static_cast<SdlWindow*>(data);
    if (!w->drag_test || p->y < w->bar_h) return SDL_HITTEST_NORMAL;
    int x = p->x, y = p->y - w->bar_h, lw = 0, lh = 0;
    SDL_RenderGetLogicalSize(w->renderer, &lw, &lh);
    if (lw > 0 && lh > 0) {
      float fx = 0, fy = 0;
      SDL_RenderWindowToLogical(w->renderer, x, y, &fx, &fy);
      x = static_cast<int>(SDL_floorf(fx));
      y = static_cast<int>(SDL_floorf(fy));
    }
    return w->drag_test(x, y) ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
  }

  void handle(const SDL_Event& ev, WindowEvents& sink) {
    switch (ev.type) {
      case SDL_QUIT: sink.on_quit(); break;
      case SDL_WINDOWEVENT: {
        int slot = slot_of(ev.window.windowID);
        if (slot < 0) break;
        switch (ev.window.event) {
          case SDL_WINDOWEVENT_CLOSE: sink.on_close_box(slot); break;
          case SDL_WINDOWEVENT_MINIMIZED: sink.on_minimize_box(slot); break;
          case SDL_WINDOWEVENT_MAXIMIZED:
            SDL_RestoreWindow(windows_[slot].window);  // the script decides what maximising means
            sink.on_maximize_box(slot);
            break;
          case SDL_WINDOWEVENT_FOCUS_GAINED: sink.on_activate(slot, true); break;
          case SDL_WINDOWEVENT_FOCUS_LOST: sink.on_activate(slot, false); break;
          case SDL_WINDOWEVENT_EXPOSED:
            windows_[slot].dirty = true;
            flush(windows_[slot]);
            sink.on_exposed(slot);
            break;
          default: break;
        }
        break;
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (uint8_t vk = virtual_key_of(ev.key.keysym.scancode)) sink.on_key(vk, ev.type == SDL_KEYDOWN);
        break;
      case SDL_MOUSEMOTION: {
        int slot = slot_of(ev.motion.windowID);
        if (slot < 0) break;
        reveal_overlay(windows_[slot], ev.motion.x, ev.motion.y);
        sink.on_mouse_move(slot, ev.motion.x, ev.motion.y - windows_[slot].bar_h);
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int slot = slot_of(ev.button.windowID);
        if (slot < 0) break;
        SdlWindow& w = windows_[slot];
        // The bar takes a left press; nothing on it reaches the canvas.
        if (ev.type == SDL_MOUSEBUTTONDOWN && ev.button.button == SDL_BUTTON_LEFT &&
            press_on_bar(w, ev.button.x, ev.button.y, sink))
          break;
        if (ev.type == SDL_MOUSEBUTTONDOWN && ev.button.y < w.bar_h) break;
        MouseButton b = ev.button.button == SDL_BUTTON_RIGHT    ? MouseButton::right
                        : ev.button.button == SDL_BUTTON_MIDDLE ? MouseButton::middle
                                                                : MouseButton::left;
        sink.on_mouse_button(slot, b, ev.type == SDL_MOUSEBUTTONDOWN, ev.button.x, ev.button.y - w.bar_h);
        break;
      }
      case SDL_MOUSEWHEEL: {
        int slot = slot_of(ev.wheel.windowID);
        int dy = ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -ev.wheel.y : ev.wheel.y;
        if (slot >= 0 && dy != 0) sink.on_wheel(slot, dy * 120);
        break;
      }
      case SDL_DROPFILE: {
        int slot = slot_of(ev.drop.windowID);
        if (ev.drop.file) {
          dropped_.push_back(utf8_to_sjis(ev.drop.file));
          SDL_free(ev.drop.file);
        }
        drop_slot_ = slot < 0 ? 0 : slot;
        break;
      }
      case SDL_DROPCOMPLETE:
        if (!dropped_.empty()) sink.on_drop_files(drop_slot_, dropped_);
        dropped_.clear();
        break;
      default: break;
    }
  }

  // A window point as a canvas point (they differ while a full screen
  // scales the picture).
  static void window_to_canvas(const SdlWindow& w, int x, int y, int& cx, int& cy) {
    int lw = 0, lh = 0;
    SDL_RenderGetLogicalSize(w.renderer, &lw, &lh);
    if (lw > 0 && lh > 0) {
      float fx = 0, fy = 0;
      SDL_RenderWindowToLogical(w.renderer, x, y, &fx, &fy);
      cx = static_cast<int>(SDL_floorf(fx));
      cy = static_cast<int>(SDL_floorf(fy));
      return;
    }
    cx = x;
    cy = y;
  }

  WindowSlots<SdlWindow> windows_;
  SDL_Cursor* cursors_[SDL_NUM_SYSTEM_CURSORS] = {};
  std::shared_ptr<UiFont> font_;
  std::vector<SDL_Event> deferred_;
  bool fullscreen_ = false;
  Rect margins_;
  std::vector<std::string> dropped_;
  int drop_slot_ = 0;
};

}  // namespace

std::unique_ptr<Display> make_sdl_display(std::string& error, std::shared_ptr<UiFont> menu_font) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = SDL_GetError();
    return nullptr;
  }
  SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
  auto d = std::make_unique<SdlDisplay>();
  d->set_ui_font(std::move(menu_font));
  return d;
}

SDL_Window* sdl_window_of(Display& display, int slot) { return static_cast<SdlDisplay&>(display).sdl_window(slot); }

}  // namespace nv::platform
