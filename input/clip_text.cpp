#include "input/clip_text.h"

namespace nv::input {

namespace {
bool lead_byte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
}  // namespace

std::string clip_text_for_script(std::string_view s) {
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (lead_byte(b)) {
      if (i + 1 >= s.size() || i + 2 > kClipInfoMaxBytes) break;  // a lone or cut lead byte is left out
      out.append(s.substr(i, 2));
      i += 2;
      continue;
    }
    if (i + 1 > kClipInfoMaxBytes) break;
    if (b >= 32) out.push_back(static_cast<char>(b));
    ++i;
  }
  return out;
}

int64_t dialog_answer_value(platform::Buttons buttons, int id) {
  switch (buttons) {
    case platform::Buttons::ok:
    case platform::Buttons::ok_cancel: return id == platform::kIdCancel ? 2 : 1;
    case platform::Buttons::yes_no:
    case platform::Buttons::yes_no_cancel:
      return id == platform::kIdYes ? 1 : id == platform::kIdNo ? 2 : 3;
  }
  return 1;
}

}  // namespace nv::input
