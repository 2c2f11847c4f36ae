#include "platform/clipboard.h"
#include "platform/encoding.h"
#include "platform/utf8.h"

namespace nv::platform {

std::string clipboard_utf8_to_sjis(std::string_view utf8) {
  bool lossless = true;
  std::string whole = utf8_to_sjis(utf8, &lossless);
  if (lossless) return whole;
  // Convert character by character and leave out what does not convert
  // (a '?' would be a character the text never had).
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const size_t at = i;
    char32_t cp;
    if (!next_utf8(utf8, i, cp)) continue;  // a broken sequence: its first byte is left out
    bool ok = true;
    std::string one = utf8_to_sjis(utf8.substr(at, i - at), &ok);
    if (ok) out += one;
  }
  return out;
}

}  // namespace nv::platform
