// The headless tray icon.
#pragma once

#include <vector>

#include "platform/tray.h"

namespace nv::platform {

// Records the icon; nothing is shown. Events can be fed in for tests and
// scripted input.
class HeadlessTray final : public Tray {
 public:
  bool show(const TrayIcon& icon) override {
    icon_ = icon;
    shown_ = true;
    ++updates_;
    return true;
  }
  void hide() override { shown_ = false; }
  bool shown() const override { return shown_; }
  bool hosted() const override { return false; }
  void pump(TrayEvents& sink) override;

  void inject_activate(int x, int y) { pending_.push_back({false, x, y}); }
  void inject_context_menu(int x, int y) { pending_.push_back({true, x, y}); }
  const TrayIcon& icon() const { return icon_; }
  int updates() const { return updates_; }

 private:
  struct Pending {
    bool menu;
    int x, y;
  };
  TrayIcon icon_;
  bool shown_ = false;
  int updates_ = 0;
  std::vector<Pending> pending_;
};

}  // namespace nv::platform
