#include "platform/sdl/platform_sdl.h"

#include <SDL.h>

#include "platform/glyph_ui_font.h"
#include "platform/posix/host_system_info.h"
#include "platform/posix/real_clock.h"
#include "platform/sdl/audio_sdl.h"
#include "platform/sdl/dialogs_sdl.h"
#include "platform/sdl/display_sdl.h"

namespace nv::platform {

bool have_interactive_platform() { return true; }

Platform make_interactive_platform(const std::string& title_dir, std::string& error) {
  Platform p;
  // Menus and the input dialog draw with a font service of their own: the
  // text step may run on the script thread while this thread draws them,
  // and a font service serves one thread.
  std::shared_ptr<UiFont> ui_font = make_glyph_ui_font(make_font_service(FontSetup::system));
  p.display = make_sdl_display(error, ui_font);
  if (!p.display) return p;
  p.clock = make_real_clock();
  p.files = std::make_unique<FileSystem>(title_dir);
  // The display outlives every dialog shown while the title runs.
  Display* display = p.display.get();
  p.dialogs = make_sdl_dialogs(ui_font, [display] { return sdl_window_of(*display, 0); });
  p.system = make_host_system_info(p.display->desktop());
  p.fonts = make_font_service(FontSetup::system);
  p.clipboard = make_sdl_clipboard();
  p.tray = make_status_notifier_tray("nivalo");
  p.joysticks = count_sdl_joysticks();
  p.open_audio = [](std::string& why) { return make_sdl_audio(kDefaultSoundRate, why); };
  return p;
}

int count_sdl_joysticks() {
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return 0;
  const int n = SDL_NumJoysticks();
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  return n < 0 ? 0 : n;
}

}  // namespace nv::platform
