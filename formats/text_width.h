// Width and case conversion of Shift-JIS text, as code page 932 defines
// the forms: half-width (single-byte) characters and their full-width
// (double-byte) twins.
#pragma once

#include <string>
#include <string_view>

namespace nv::sjis {

// Every single-byte character that has a full-width form becomes it;
// a half-width katakana followed by a voiced or semi-voiced mark becomes
// the one voiced full-width katakana. Double-byte characters stay.
std::string to_full_width(std::string_view s);

// Every double-byte character that has a half-width form becomes it (a
// voiced katakana becomes the katakana and its mark). Others stay.
std::string to_half_width(std::string_view s);

// Upper and lower case of ASCII letters and of the full-width Latin
// letters; double-byte characters are never split.
void to_upper(std::string& s);
void to_lower(std::string& s);

}  // namespace nv::sjis
