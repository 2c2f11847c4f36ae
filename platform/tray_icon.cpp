#include "platform/tray.h"

namespace nv::platform {

TrayIcon program_tray_icon() {
  // A dark blue rounded square with a white "N".
  TrayIcon icon;
  icon.pixels.assign(kTrayIconSize * kTrayIconSize, 0u);
  for (int y = 0; y < kTrayIconSize; ++y) {
    for (int x = 0; x < kTrayIconSize; ++x) {
      const bool corner = (x == 0 || x == 15) && (y == 0 || y == 15);
      if (corner) continue;
      uint32_t c = 0xFF20407Fu;
      const bool stem = (x == 4 || x == 11) && y >= 3 && y <= 12;
      const bool diagonal = y >= 3 && y <= 12 && (x == 4 + (y - 3) * 7 / 9);
      if (stem || diagonal) c = 0xFFFFFFFFu;
      icon.pixels[size_t(y) * kTrayIconSize + size_t(x)] = c;
    }
  }
  return icon;
}

}  // namespace nv::platform
