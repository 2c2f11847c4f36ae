#include "platform/encoding.h"
#include "platform/sdl/sdl_ui.h"

namespace nv::platform {

namespace {

bool inside(const Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

}  // namespace

std::string run_sdl_input_box(const InputBoxSpec& spec, UiFont& font, SDL_Window* owner,
                              std::vector<SDL_Event>& deferred) {
  const InputBoxLayout l = layout_input_box(spec, font);
  int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
  if (owner) {
    int ox = 0, oy = 0, ow = 0, oh = 0;
    SDL_GetWindowPosition(owner, &ox, &oy);
    SDL_GetWindowSize(owner, &ow, &oh);
    x = ox + (ow - l.width) / 2;
    y = oy + (oh - l.height) / 2;
  }
  InputField field(spec.default_text, spec.limit);
  SDL_Window* win = SDL_CreateWindow(sjis_to_utf8(spec.caption).c_str(), x, y, l.width, l.height,
                                     SDL_WINDOW_SHOWN | SDL_WINDOW_SKIP_TASKBAR);
  if (!win) return field.text();
  if (owner) SDL_SetWindowModalFor(win, owner);
  SDL_RaiseWindow(win);
  SDL_Renderer* ren = SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
  SDL_Texture* tex = nullptr;
  const Uint32 id = SDL_GetWindowID(win);
  const bool text_was_on = SDL_IsTextInputActive();
  SDL_StartTextInput();
  bool done = false, ok_down = false, dirty = true, focused = false;
  Uint32 blink_start = SDL_GetTicks();
  bool caret_shown = true;
  while (!done) {
    const bool caret_now = ((SDL_GetTicks() - blink_start) / 500) % 2 == 0;
    if (caret_now != caret_shown) {
      caret_shown = caret_now;
      dirty = true;
    }
    if (dirty && ren) {
      int caret_x = 0;
      show_picture(ren, tex, draw_input_box(spec, l, field, caret_shown, ok_down, font, &caret_x));
      SDL_Rect r{caret_x, l.field.top, 1, l.field.height()};
      SDL_SetTextInputRect(&r);  // the input method's candidates open here
      dirty = false;
    }
    SDL_Event ev;
    if (!SDL_WaitEventTimeout(&ev, 100)) continue;
    auto typed = [&] {
      dirty = true;
      blink_start = SDL_GetTicks();
    };
    switch (ev.type) {
      case SDL_TEXTINPUT:
        if (ev.text.windowID != id) break;
        field.type(ev.text.text);
        field.set_composition("");
        typed();
        break;
      case SDL_TEXTEDITING:
        if (ev.edit.windowID != id) break;
        field.set_composition(ev.edit.text);
        typed();
        break;
      case SDL_KEYDOWN:
        if (ev.key.windowID != id) break;
        switch (ev.key.keysym.scancode) {
          case SDL_SCANCODE_RETURN:
          case SDL_SCANCODE_KP_ENTER:
            if (field.composition().empty()) done = true;
            break;
          case SDL_SCANCODE_BACKSPACE: field.backspace(); break;
          case SDL_SCANCODE_DELETE: field.erase(); break;
          case SDL_SCANCODE_LEFT: field.left(); break;
          case SDL_SCANCODE_RIGHT: field.right(); break;
          case SDL_SCANCODE_HOME: field.home(); break;
          case SDL_SCANCODE_END: field.end(); break;
          case SDL_SCANCODE_V:
            if ((ev.key.keysym.mod & KMOD_CTRL) && SDL_HasClipboardText()) {
              char* clip = SDL_GetClipboardText();
              if (clip) field.type(clip);
              SDL_free(clip);
            }
            break;
          default: break;
        }
        typed();
        break;
      case SDL_MOUSEBUTTONDOWN:
        if (ev.button.windowID == id && ev.button.button == SDL_BUTTON_LEFT && inside(l.ok, ev.button.x, ev.button.y)) {
          ok_down = true;
          dirty = true;
        }
        break;
      case SDL_MOUSEBUTTONUP:
        if (ev.button.windowID == id && ok_down) {
          ok_down = false;
          dirty = true;
          if (inside(l.ok, ev.button.x, ev.button.y)) done = true;
        }
        break;
      case SDL_WINDOWEVENT:
        // Only OK ends the dialog: its close box does nothing.
        if (ev.window.windowID == id) {
          if (ev.window.event == SDL_WINDOWEVENT_EXPOSED) dirty = true;
          // A modal dialog takes the keyboard once it is on the screen.
          if (ev.window.event == SDL_WINDOWEVENT_SHOWN || (ev.window.event == SDL_WINDOWEVENT_EXPOSED && !focused))
            focused = SDL_SetWindowInputFocus(win) == 0;
          if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) focused = true;
          break;
        }
        deferred.push_back(ev);
        break;
      case SDL_KEYUP:
      case SDL_MOUSEMOTION:
      case SDL_MOUSEWHEEL:
        // The engine's windows get no input while the dialog is up.
        break;
      default: deferred.push_back(ev); break;
    }
  }
  if (!text_was_on) SDL_StopTextInput();
  if (tex) SDL_DestroyTexture(tex);
  if (ren) SDL_DestroyRenderer(ren);
  SDL_DestroyWindow(win);
  return field.text();
}

}  // namespace nv::platform
