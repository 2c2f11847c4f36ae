// Case rules for the engine's Shift-JIS file names: only ASCII letters have
// case, and the second byte of a double-byte character is never a letter
// (0x41-0x5A and 0x61-0x7A are valid trail bytes).
#pragma once

#include <string>
#include <string_view>

namespace nv::res {

// `s` with its ASCII letters lowered, double-byte characters left whole.
std::string lower_ascii_sjis(std::string_view s);

// Compares two names without regard to the case of their ASCII letters.
bool equal_ignore_case_sjis(std::string_view a, std::string_view b);

// `s` with every '/' turned into '\' ('/' is never a trail byte).
std::string slashes_to_backslashes(std::string_view s);

// Whether `s` ends in `suffix` (an ASCII suffix), without regard to case.
bool ends_with_ignore_case(std::string_view s, std::string_view suffix);

}  // namespace nv::res
