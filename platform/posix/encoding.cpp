#include "platform/encoding.h"

#include <iconv.h>

#include <cerrno>

namespace nv::platform {

namespace {

// One iconv conversion; `on_bad` is appended for an input byte (or, for
// UTF-8 input, a whole malformed or unmappable character) that cannot be
// converted, and conversion continues after it.
std::string convert(const char* to, const char* from, std::string_view in, std::string_view on_bad,
                    bool utf8_input, bool* lossless) {
  if (lossless) *lossless = true;
  std::string out;
  if (in.empty()) return out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // No converter on this host: keep ASCII, replace the rest.
    for (unsigned char c : in) out += c < 0x80 ? static_cast<char>(c) : '?';
    if (lossless) *lossless = false;
    return out;
  }
  out.reserve(in.size() * 3 / 2 + 8);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char buf[1024];
  while (src_left > 0) {
    char* dst = buf;
    size_t dst_left = sizeof buf;
    size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buf, static_cast<size_t>(dst - buf));
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (truncated sequence at the end): skip one character.
    if (lossless) *lossless = false;
    out.append(on_bad);
    size_t skip = 1;
    if (utf8_input) {
      unsigned char c = static_cast<unsigned char>(*src);
      size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      // Skip a whole character only when its continuation bytes are there.
      size_t k = 1;
      while (k < len && k < src_left && (static_cast<unsigned char>(src[k]) & 0xC0) == 0x80) ++k;
      skip = k;
    }
    if (skip > src_left) skip = src_left;
    src += skip;
    src_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset shift state
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string sjis_to_utf8(std::string_view sjis) {
  return convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD", false, nullptr);
}

std::string utf8_to_sjis(std::string_view utf8, bool* lossless) {
  return convert("CP932", "UTF-8", utf8, "?", true, lossless);
}

}  // namespace nv::platform
