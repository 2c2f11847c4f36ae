#include "platform/sdl/dialogs_sdl.h"

#include <SDL.h>

#include <vector>

#include "platform/encoding.h"
#include "platform/sdl/sdl_ui.h"

namespace nv::platform {

namespace {

class SdlDialogs final : public Dialogs {
 public:
  SdlDialogs(std::shared_ptr<UiFont> font, std::function<SDL_Window*()> owner)
      : font_(std::move(font)), owner_(std::move(owner)) {}

  int message_box(const MessageBoxSpec& box) override {
    std::vector<SDL_MessageBoxButtonData> buttons;
    auto add = [&](int id, const char* text) { buttons.push_back({0, id, text}); };
    switch (box.buttons) {
      case Buttons::ok: add(kIdOk, "OK"); break;
      case Buttons::ok_cancel: add(kIdOk, "OK"); add(kIdCancel, "Cancel"); break;
      case Buttons::yes_no: add(kIdYes, "Yes"); add(kIdNo, "No"); break;
      case Buttons::yes_no_cancel: add(kIdYes, "Yes"); add(kIdNo, "No"); add(kIdCancel, "Cancel"); break;
    }
    size_t def = (box.default_button >= 1 && size_t(box.default_button) <= buttons.size())
                     ? size_t(box.default_button - 1) : 0;
    buttons[def].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    for (auto& b : buttons)
      if (b.buttonid == kIdCancel || (box.buttons == Buttons::yes_no && b.buttonid == kIdNo))
        b.flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    std::string caption = sjis_to_utf8(box.caption);
    std::string text = sjis_to_utf8(box.text);
    Uint32 flags = box.icon == Icon::error     ? SDL_MESSAGEBOX_ERROR
                   : box.icon == Icon::warning ? SDL_MESSAGEBOX_WARNING
                                               : SDL_MESSAGEBOX_INFORMATION;
    SDL_MessageBoxData data{flags, owner(), caption.c_str(), text.c_str(), int(buttons.size()), buttons.data(),
                            nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0 || pressed < 0)
      return box.buttons == Buttons::ok ? kIdOk : (box.buttons == Buttons::yes_no ? kIdNo : kIdCancel);
    return pressed;
  }

  bool error_dialog(const ErrorDialogSpec& dialog) override {
    std::vector<SDL_MessageBoxButtonData> buttons = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kIdOk, "OK"}};
    if (dialog.offer_editor) buttons.push_back({0, 100, "Open in editor"});
    std::string caption = sjis_to_utf8(dialog.caption);
    std::string text = sjis_to_utf8(dialog.text);
    SDL_MessageBoxData data{SDL_MESSAGEBOX_ERROR, owner(), caption.c_str(), text.c_str(), int(buttons.size()),
                            buttons.data(), nullptr};
    int pressed = -1;
    SDL_ShowMessageBox(&data, &pressed);
    return pressed == 100;
  }

  std::optional<std::string> input_box(const InputBoxSpec& spec) override {
    if (!font_) return std::nullopt;
    std::vector<SDL_Event> deferred;
    SDL_Window* parent = owner();
    std::string text = run_sdl_input_box(spec, *font_, parent ? parent : SDL_GetKeyboardFocus(), deferred);
    for (SDL_Event& ev : deferred) SDL_PushEvent(&ev);
    return text;
  }

 private:
  // The main window while it exists; boxes without one stand alone.
  SDL_Window* owner() const { return owner_ ? owner_() : nullptr; }

  std::shared_ptr<UiFont> font_;
  std::function<SDL_Window*()> owner_;
};

}  // namespace

std::unique_ptr<Dialogs> make_sdl_dialogs(std::shared_ptr<UiFont> font, std::function<SDL_Window*()> owner) {
  return std::make_unique<SdlDialogs>(std::move(font), std::move(owner));
}

}  // namespace nv::platform
