#include "platform/headless/headless_clipboard.h"
#include "platform/encoding.h"

namespace nv::platform {

bool HeadlessClipboard::set_text(std::string_view sjis) {
  utf8_ = sjis_to_utf8(sjis);
  return true;
}

std::optional<std::string> HeadlessClipboard::text() {
  if (!utf8_) return std::nullopt;
  return clipboard_utf8_to_sjis(*utf8_);
}

}  // namespace nv::platform
