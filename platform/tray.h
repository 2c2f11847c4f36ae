// The notification-area icon: a 16 x 16 picture with a tip; the desktop
// tells when the user activates it or asks for its menu.
//
// When the desktop has no notification area the icon is kept as state and
// nothing is shown; when one appears later, the icon appears there.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nv::platform {

constexpr int kTrayIconSize = 16;

struct TrayIcon {
  std::vector<uint32_t> pixels;  // 16 x 16, top-down BGRA, alpha as it should show
  std::string tip;               // Shift-JIS
};

// What the user did to the icon. Called by Tray::pump on the thread that
// owns the windows; (x, y) is the desktop point the host gave, if any.
struct TrayEvents {
  virtual ~TrayEvents() = default;
  virtual void on_tray_activate(int x, int y) = 0;      // a click: raise the main window
  virtual void on_tray_context_menu(int x, int y) = 0;  // the menu was asked for
};

class Tray {
 public:
  virtual ~Tray() = default;
  // Shows the icon, or changes it when it shows already. False when it
  // cannot be offered to the desktop at all (no session bus); the icon is
  // then still remembered as shown.
  virtual bool show(const TrayIcon& icon) = 0;
  virtual void hide() = 0;
  virtual bool shown() const = 0;
  // Whether a notification area on the desktop has taken the icon.
  virtual bool hosted() const = 0;
  virtual void pump(TrayEvents& sink) = 0;
};

// The program's own icon, used when a title gives none.
TrayIcon program_tray_icon();

// A status notifier item on the session bus (D-Bus), registered with the
// desktop's status notifier watcher.
std::unique_ptr<Tray> make_status_notifier_tray(const std::string& title_id);

}  // namespace nv::platform
