#include <SDL.h>

#include "platform/clipboard.h"
#include "platform/encoding.h"

namespace nv::platform {

namespace {

class SdlClipboard final : public Clipboard {
 public:
  bool set_text(std::string_view sjis) override { return SDL_SetClipboardText(sjis_to_utf8(sjis).c_str()) == 0; }

  std::optional<std::string> text() override {
    if (!SDL_HasClipboardText()) return std::nullopt;
    char* t = SDL_GetClipboardText();
    if (!t) return std::nullopt;
    std::string sjis = clipboard_utf8_to_sjis(t);
    SDL_free(t);
    return sjis;
  }
};

}  // namespace

std::unique_ptr<Clipboard> make_sdl_clipboard() { return std::make_unique<SdlClipboard>(); }

}  // namespace nv::platform
