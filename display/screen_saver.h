// A title built as a screen saver answers the desktop's switches before it
// starts: "/p HANDLE" shows the preview picture in the desktop's window,
// "/a" (password change) does nothing, "/c" or no switch shows the
// information message; anything else ("/s") runs the title full screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::display {

enum class ScreenSaverAction { run, preview, none, info };

struct ScreenSaverSwitch {
  ScreenSaverAction action = ScreenSaverAction::run;
  uint64_t parent = 0;  // the preview's window
};

// The switch among the engine's arguments (options starting "--" and the
// title folder are not switches).
ScreenSaverSwitch parse_screen_saver_switch(const std::vector<std::string>& args);

// The picture the preview shows, from the title's files.
inline constexpr const char* kPreviewImage = "preview.bmp";
// The information message of "/c".
inline constexpr const char* kScreenSaverInfoUtf8 = "スクリーンセーバー\n\nVersion 1.00";

// Carries out a switch other than `run` on an engine whose packs are
// mounted. Returns the process exit status.
int run_screen_saver_switch(Engine& e, const ScreenSaverSwitch& s);

}  // namespace nv::display
