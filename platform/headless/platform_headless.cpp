#include "platform/headless/platform_headless.h"

#include "platform/headless/audio_headless.h"
#include "platform/headless/display_headless.h"
#include "platform/headless/fixed_system_info.h"
#include "platform/headless/virtual_clock.h"

namespace nv::platform {

Platform make_headless_platform(const HeadlessOptions& options) {
  Platform p;
  p.clock = make_virtual_clock(options.start_time);
  p.files = std::make_unique<FileSystem>(options.title_dir);
  p.dialogs = std::make_unique<HeadlessDialogs>(options.answer, options.err);
  p.system = make_fixed_system_info(options.desktop);
  p.display = make_headless_display(options.desktop);
  p.fonts = make_font_service(FontSetup::pinned);  // the same pictures on every machine
  p.clipboard = std::make_unique<HeadlessClipboard>();
  p.tray = std::make_unique<HeadlessTray>();
  p.open_audio = [path = options.sound_out, rate = options.sound_rate](std::string& error) {
    return make_headless_audio(rate, path, error);
  };
  return p;
}

HeadlessDialogs* headless_dialogs(Platform& p) { return dynamic_cast<HeadlessDialogs*>(p.dialogs.get()); }
HeadlessDisplay* headless_display(Platform& p) { return dynamic_cast<HeadlessDisplay*>(p.display.get()); }
HeadlessClipboard* headless_clipboard(Platform& p) { return dynamic_cast<HeadlessClipboard*>(p.clipboard.get()); }
HeadlessTray* headless_tray(Platform& p) { return dynamic_cast<HeadlessTray*>(p.tray.get()); }

}  // namespace nv::platform
