// The host services one engine uses, bundled. Engine code reaches the host
// only through these. The backends make them: platform/headless/
// (make_headless_platform) and platform/sdl/ (make_interactive_platform).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/clipboard.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/fonts.h"
#include "platform/system_info.h"
#include "platform/tray.h"

namespace nv::platform {

struct Platform {
  std::unique_ptr<Clock> clock;
  std::unique_ptr<FileSystem> files;
  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<SystemInfo> system;
  std::unique_ptr<Display> display;
  std::unique_ptr<FontService> fonts;
  std::unique_ptr<Clipboard> clipboard;
  std::unique_ptr<Tray> tray;
  // Joysticks and game controllers attached when the platform was made
  // (none in headless runs).
  int joysticks = 0;

  // Opens the sound output (the backend's; nullptr with the reason in
  // `error` when there is none). The engine calls it once, when the title
  // enables sound, and keeps the output in `audio`.
  std::function<std::unique_ptr<AudioOut>(std::string& error)> open_audio;
  std::unique_ptr<AudioOut> audio;
};

}  // namespace nv::platform
