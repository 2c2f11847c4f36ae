#include "resources/file_name_rules.h"

#include <vector>

#include "resources/name_fold.h"

namespace nv::res {

NormalizedName normalize_file_name(std::string_view text) {
  NormalizedName r;
  // A name without '.', ':' and '/' is taken as it is (blanks included).
  if (text.find_first_of(".:/") == std::string_view::npos) {
    r.name = slashes_to_backslashes(lower_ascii_sjis(text));
    return r;
  }
  std::string_view rest = text;
  if (rest.starts_with(":/")) rest.remove_prefix(2);
  else if (rest.starts_with(":")) rest.remove_prefix(1);
  else if (rest.starts_with("/")) rest.remove_prefix(1);
  r.working_path = std::string(rest);
  // '/', '.' and ':' never occur as the second byte of a double-byte
  // character, so the components can be split bytewise.
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= rest.size(); ++i) {
    if (i != rest.size() && rest[i] != '/') continue;
    std::string_view part = rest.substr(start, i - start);
    start = i + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    if (part.find(' ') != std::string_view::npos) return r;
    parts.push_back(part);
  }
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += '\\';
    out += parts[i];
  }
  r.name = lower_ascii_sjis(out);
  return r;
}

}  // namespace nv::res
