// Conversion between the engine's text encoding (Shift-JIS, code page 932)
// and UTF-8, the encoding of host file names, standard error and fonts.
#pragma once

#include <string>
#include <string_view>

namespace nv::platform {

// Every byte sequence converts: a byte that is not valid code page 932
// becomes U+FFFD and conversion continues with the next byte.
std::string sjis_to_utf8(std::string_view sjis);

// Characters code page 932 cannot hold, and bytes that are not valid UTF-8,
// become '?'. `lossless`, when given, tells whether nothing was replaced.
std::string utf8_to_sjis(std::string_view utf8, bool* lossless = nullptr);

}  // namespace nv::platform
