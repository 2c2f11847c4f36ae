#include "data/save_names.h"

#include "data/save_format.h"
#include "formats/sjis_text.h"

namespace nv::save {

namespace {

constexpr size_t kMaxNameBytes = 32;

bool ends_with_sd(std::string_view s) {
  if (s.size() < 3) return false;
  std::string_view tail = s.substr(s.size() - 3);
  return tail[0] == '.' && (tail[1] | 0x20) == 's' && (tail[2] | 0x20) == 'd';
}

}  // namespace

uint32_t data_file_name(std::string_view text, std::string& name) {
  name.clear();
  if (text.size() > kMaxNameBytes) return kErrNameTooLong;
  for (size_t pos = 0; pos < text.size(); pos = sjis::next_char(text, pos)) {
    bool single = sjis::char_length_at(text, pos) == 1;
    if (single && (text[pos] == '\\' || text[pos] == '/')) return kErrNameSeparator;
  }
  name.assign(text);
  if (!ends_with_sd(name)) name += ".sd";
  return kOk;
}

}  // namespace nv::save
