#include "platform/display_sdl.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>

#include "platform/encoding.h"
#include "platform/sdl_keys.h"

namespace nv::platform {

namespace {

struct SdlWindow {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  WindowSpec spec;
  std::vector<uint32_t> client;  // what the client area shows
  std::function<bool(int, int)> drag_test;
  int slot = 0;
  bool dirty = true;
};

class SdlDisplay final : public Display {
 public:
  SdlDisplay() = default;
  ~SdlDisplay() override {
    for (int s = 0; s < kWindowSlots; ++s) destroy_window(s);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  DesktopSize desktop() override {
    SDL_DisplayMode m;
    if (SDL_GetDesktopDisplayMode(0, &m) != 0) return {0, 0};
    return {m.w, m.h};
  }

  Rect frame_margins(bool framed) override {
    if (!framed || !windows_[0].window) return framed ? Rect{0, 0, 0, 0} : Rect{};
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(windows_[0].window, &top, &left, &bottom, &right) != 0) return {};
    return {left, top, right, bottom};
  }

  bool create_window(int slot, const WindowSpec& spec) override {
    if (slot < 0 || slot >= kWindowSlots) return false;
    destroy_window(slot);
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | (spec.shown ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
    if (!spec.framed) flags |= SDL_WINDOW_BORDERLESS;
    if (spec.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (spec.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    Rect m = frame_margins(spec.framed);
    SdlWindow& w = windows_[slot];
    w.window = SDL_CreateWindow(sjis_to_utf8(spec.caption).c_str(), spec.x + m.left, spec.y + m.top,
                                spec.client_width, spec.client_height, flags);
    if (!w.window) return false;
    w.renderer = SDL_CreateRenderer(w.window, -1, 0);
    if (!w.renderer) w.renderer = SDL_CreateRenderer(w.window, -1, SDL_RENDERER_SOFTWARE);
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
    return true;
  }

  void destroy_window(int slot) override {
    if (slot < 0 || slot >= kWindowSlots) return;
    SdlWindow& w = windows_[slot];
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
    }
  }

  void move(int slot, int x, int y) override {
    if (SdlWindow* w = get(slot)) {
      Rect m = frame_margins(w->spec.framed);
      SDL_SetWindowPosition(w->window, x + m.left, y + m.top);
    }
  }

  void resize_client(int slot, int width, int height) override {
    SdlWindow* w = get(slot);
    if (!w || width <= 0 || height <= 0) return;
    w->spec.client_width = width;
    w->spec.client_height = height;
    if (!fullscreen_ || slot != 0) SDL_SetWindowSize(w->window, width, height);
    make_texture(*w);
  }

  Rect outer_rect(int slot) override {
    SdlWindow* w = get(slot);
    if (!w) return {};
    int x = 0, y = 0;
    SDL_GetWindowPosition(w->window, &x, &y);
    Rect m = frame_margins(w->spec.framed);
    return {x - m.left, y - m.top, x + w->spec.client_width + m.right, y + w->spec.client_height + m.bottom};
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

  // SDL shapes only windows made shaped from the start; engine windows are
  // plain ones, so shaping is refused and the window stays rectangular.
  bool set_shape(int, const std::vector<Rect>&) override { return false; }
  void clear_shape(int) override {}

  void set_drag_test(int slot, std::function<bool(int x, int y)> test) override {
    if (SdlWindow* w = get(slot)) w->drag_test = std::move(test);
  }

  bool set_fullscreen(bool on, int width, int height) override {
    SdlWindow* w = get(0);
    if (!w) return false;
    if (SDL_SetWindowFullscreen(w->window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    fullscreen_ = on;
    if (on) SDL_RenderSetLogicalSize(w->renderer, width, height);
    else {
      SDL_RenderSetLogicalSize(w->renderer, 0, 0);
      SDL_SetWindowSize(w->window, w->spec.client_width, w->spec.client_height);
    }
    w->dirty = true;
    flush(*w);
    return true;
  }
  bool is_fullscreen() override { return fullscreen_; }

  void present(int slot, const uint32_t* pixels, int width, int height, int x, int y) override {
    SdlWindow* w = get(slot);
    if (!w || !pixels || width <= 0 || height <= 0) return;
    blit_clipped(w->client, w->spec.client_width, w->spec.client_height, pixels, width, height, x, y);
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
    SdlWindow* w = get(slot);
    if (!w) {
      width = height = 0;
      return {};
    }
    width = w->spec.client_width;
    height = w->spec.client_height;
    return w->client;
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
  void cursor_position(int& x, int& y) override { SDL_GetGlobalMouseState(&x, &y); }

 private:
  SdlWindow* get(int slot) {
    if (slot < 0 || slot >= kWindowSlots || !windows_[slot].window) return nullptr;
    return &windows_[slot];
  }

  int slot_of(Uint32 window_id) {
    for (int s = 0; s < kWindowSlots; ++s)
      if (windows_[s].window && SDL_GetWindowID(windows_[s].window) == window_id) return s;
    return -1;
  }

  bool make_texture(SdlWindow& w) {
    if (w.texture) SDL_DestroyTexture(w.texture);
    // ARGB8888 is stored B, G, R, A in memory on little-endian hosts: the
    // engine's own pixel layout.
    w.texture = SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                  w.spec.client_width, w.spec.client_height);
    std::vector<uint32_t> next(size_t(w.spec.client_width) * size_t(w.spec.client_height), 0xFF000000u);
    w.client.swap(next);
    w.dirty = true;
    return w.texture != nullptr;
  }

  void flush(SdlWindow& w) {
    if (!w.dirty) return;
    SDL_UpdateTexture(w.texture, nullptr, w.client.data(), w.spec.client_width * 4);
    SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);
    SDL_RenderClear(w.renderer);
    SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
    SDL_RenderPresent(w.renderer);
    w.dirty = false;
  }

  static SDL_HitTestResult SDLCALL hit_test(SDL_Window*, const SDL_Point* p, void* data) {
    auto* w = static_cast<SdlWindow*>(data);
    if (w->drag_test && w->drag_test(p->x, p->y)) return SDL_HITTEST_DRAGGABLE;
    return SDL_HITTEST_NORMAL;
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
        if (slot >= 0) sink.on_mouse_move(slot, ev.motion.x, ev.motion.y);
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        int slot = slot_of(ev.button.windowID);
        if (slot < 0) break;
        MouseButton b = ev.button.button == SDL_BUTTON_RIGHT    ? MouseButton::right
                        : ev.button.button == SDL_BUTTON_MIDDLE ? MouseButton::middle
                                                                : MouseButton::left;
        sink.on_mouse_button(slot, b, ev.type == SDL_MOUSEBUTTONDOWN, ev.button.x, ev.button.y);
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

  SdlWindow windows_[kWindowSlots];
  bool fullscreen_ = false;
  std::vector<std::string> dropped_;
  int drop_slot_ = 0;
};

}  // namespace

std::unique_ptr<Display> make_sdl_display(std::string& error) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = SDL_GetError();
    return nullptr;
  }
  SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
  return std::make_unique<SdlDisplay>();
}

}  // namespace nv::platform
