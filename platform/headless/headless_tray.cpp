#include "platform/headless/headless_tray.h"

namespace nv::platform {

void HeadlessTray::pump(TrayEvents& sink) {
  std::vector<Pending> now;
  now.swap(pending_);
  for (const Pending& p : now) {
    if (!shown_) continue;  // a hidden icon cannot be clicked
    if (p.menu) sink.on_tray_context_menu(p.x, p.y);
    else sink.on_tray_activate(p.x, p.y);
  }
}

}  // namespace nv::platform
