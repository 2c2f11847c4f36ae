#include "platform/sdl/platform_sdl.h"

#include "platform/posix/host_system_info.h"
#include "platform/posix/real_clock.h"
#include "platform/sdl/audio_sdl.h"
#include "platform/sdl/dialogs_sdl.h"
#include "platform/sdl/display_sdl.h"

namespace nv::platform {

bool have_interactive_platform() { return true; }

Platform make_interactive_platform(const std::string& title_dir, std::string& error) {
  Platform p;
  p.display = make_sdl_display(error);
  if (!p.display) return p;
  p.clock = make_real_clock();
  p.files = std::make_unique<FileSystem>(title_dir);
  p.dialogs = make_sdl_dialogs();
  p.system = make_host_system_info(p.display->desktop());
  p.fonts = make_font_service(FontSetup::system);
  p.clipboard = make_sdl_clipboard();
  p.tray = make_status_notifier_tray("nivalo");
  p.open_audio = [](std::string& why) { return make_sdl_audio(kDefaultSoundRate, why); };
  return p;
}

}  // namespace nv::platform
