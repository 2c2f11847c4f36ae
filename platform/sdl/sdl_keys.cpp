#include "platform/sdl/sdl_keys.h"

#include "platform/virtual_keys.h"

namespace nv::platform {

uint8_t virtual_key_of(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return static_cast<uint8_t>(vk::kA + (sc - SDL_SCANCODE_A));
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return static_cast<uint8_t>(vk::k0 + 1 + (sc - SDL_SCANCODE_1));
  if (sc == SDL_SCANCODE_0) return vk::k0;
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return static_cast<uint8_t>(vk::kF1 + (sc - SDL_SCANCODE_F1));
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return static_cast<uint8_t>(vk::kF1 + 12 + (sc - SDL_SCANCODE_F13));
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9)
    return static_cast<uint8_t>(vk::kNumpad0 + 1 + (sc - SDL_SCANCODE_KP_1));
  switch (sc) {
    case SDL_SCANCODE_KP_0: return vk::kNumpad0;
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return vk::kReturn;
    case SDL_SCANCODE_ESCAPE: return vk::kEscape;
    case SDL_SCANCODE_BACKSPACE: return vk::kBack;
    case SDL_SCANCODE_TAB: return vk::kTab;
    case SDL_SCANCODE_SPACE: return vk::kSpace;
    case SDL_SCANCODE_MINUS: return vk::kOemMinus;
    case SDL_SCANCODE_EQUALS: return vk::kOemPlus;
    case SDL_SCANCODE_LEFTBRACKET: return vk::kOem4;
    case SDL_SCANCODE_RIGHTBRACKET: return vk::kOem6;
    case SDL_SCANCODE_BACKSLASH: return vk::kOem5;
    case SDL_SCANCODE_NONUSHASH: return vk::kOem5;
    case SDL_SCANCODE_SEMICOLON: return vk::kOem1;
    case SDL_SCANCODE_APOSTROPHE: return vk::kOem7;
    case SDL_SCANCODE_GRAVE: return vk::kOem3;
    case SDL_SCANCODE_COMMA: return vk::kOemComma;
    case SDL_SCANCODE_PERIOD: return vk::kOemPeriod;
    case SDL_SCANCODE_SLASH: return vk::kOem2;
    case SDL_SCANCODE_NONUSBACKSLASH: return vk::kOem102;
    case SDL_SCANCODE_CAPSLOCK: return vk::kCapital;
    case SDL_SCANCODE_PRINTSCREEN: return vk::kSnapshot;
    case SDL_SCANCODE_SCROLLLOCK: return vk::kScroll;
    case SDL_SCANCODE_PAUSE: return vk::kPause;
    case SDL_SCANCODE_INSERT: return vk::kInsert;
    case SDL_SCANCODE_HOME: return vk::kHome;
    case SDL_SCANCODE_PAGEUP: return vk::kPrior;
    case SDL_SCANCODE_DELETE: return vk::kDelete;
    case SDL_SCANCODE_END: return vk::kEnd;
    case SDL_SCANCODE_PAGEDOWN: return vk::kNext;
    case SDL_SCANCODE_RIGHT: return vk::kRight;
    case SDL_SCANCODE_LEFT: return vk::kLeft;
    case SDL_SCANCODE_DOWN: return vk::kDown;
    case SDL_SCANCODE_UP: return vk::kUp;
    case SDL_SCANCODE_NUMLOCKCLEAR: return vk::kNumLock;
    case SDL_SCANCODE_KP_DIVIDE: return vk::kDivide;
    case SDL_SCANCODE_KP_MULTIPLY: return vk::kMultiply;
    case SDL_SCANCODE_KP_MINUS: return vk::kSubtract;
    case SDL_SCANCODE_KP_PLUS: return vk::kAdd;
    case SDL_SCANCODE_KP_PERIOD: return vk::kDecimal;
    case SDL_SCANCODE_APPLICATION: return vk::kApps;
    case SDL_SCANCODE_LCTRL: return vk::kLControl;
    case SDL_SCANCODE_RCTRL: return vk::kRControl;
    case SDL_SCANCODE_LSHIFT: return vk::kLShift;
    case SDL_SCANCODE_RSHIFT: return vk::kRShift;
    case SDL_SCANCODE_LALT: return vk::kLMenu;
    case SDL_SCANCODE_RALT: return vk::kRMenu;
    case SDL_SCANCODE_LGUI: return vk::kLWin;
    case SDL_SCANCODE_RGUI: return vk::kRWin;
    case SDL_SCANCODE_INTERNATIONAL2: return vk::kKana;
    case SDL_SCANCODE_INTERNATIONAL4: return vk::kConvert;
    case SDL_SCANCODE_INTERNATIONAL5: return vk::kNonConvert;
    case SDL_SCANCODE_LANG5: return vk::kKanji;
    default: return 0;
  }
}

}  // namespace nv::platform
