#include "platform/clipboard.h"
#include "platform/encoding.h"

namespace nv::platform {

std::string clipboard_utf8_to_sjis(std::string_view utf8) {
  bool lossless = true;
  std::string whole = utf8_to_sjis(utf8, &lossless);
  if (lossless) return whole;
  // Convert character by character and leave out what does not convert
  // (a '?' would be a character the text never had).
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + len > utf8.size()) len = utf8.size() - i;
    bool ok = true;
    std::string one = utf8_to_sjis(utf8.substr(i, len), &ok);
    if (ok) out += one;
    i += len;
  }
  return out;
}

}  // namespace nv::platform
