#include "platform/font_names.h"

#include <array>
#include <cstddef>

namespace nv::platform {

namespace {

// Position of `word` in `s` (ASCII case ignored), or npos.
size_t find_ci(std::string_view s, std::string_view word) {
  if (word.size() > s.size()) return std::string_view::npos;
  for (size_t i = 0; i + word.size() <= s.size(); ++i)
    if (same_face_name(s.substr(i, word.size()), word)) return i;
  return std::string_view::npos;
}

// Whether the text before `end` ends with the proportional marker, spaces
// (ASCII or ideographic) ignored.
bool marked_proportional(std::string_view s, size_t end) {
  std::string_view before = s.substr(0, end);
  for (;;) {
    if (!before.empty() && before.back() == ' ') {
      before.remove_suffix(1);
    } else if (before.ends_with("\u3000")) {
      before.remove_suffix(3);
    } else {
      break;
    }
  }
  return before.ends_with("P") || before.ends_with("p") || before.ends_with("\uFF30");
}

constexpr std::array<const char*, 7> kGothic = {"IPAGothic",      "IPAexGothic", "Noto Sans Mono CJK JP",
                                                "Noto Sans CJK JP", "VL Gothic", "TakaoGothic", "sans-serif"};
constexpr std::array<const char*, 6> kGothicP = {"IPAPGothic", "IPAexGothic",  "Noto Sans CJK JP",
                                                 "VL PGothic", "TakaoPGothic", "sans-serif"};
constexpr std::array<const char*, 5> kMincho = {"IPAMincho", "IPAexMincho", "Noto Serif CJK JP", "TakaoMincho",
                                                "serif"};
constexpr std::array<const char*, 5> kMinchoP = {"IPAPMincho", "IPAexMincho", "Noto Serif CJK JP", "TakaoPMincho",
                                                 "serif"};

}  // namespace

bool same_face_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

FaceKind face_kind(std::string_view name) {
  struct Word {
    std::string_view text;
    bool mincho;
  };
  constexpr Word kWords[] = {{"\u30B4\u30B7\u30C3\u30AF", false},  // ゴシック
                             {"Gothic", false},
                             {"\u660E\u671D", true},  // 明朝
                             {"Mincho", true}};
  for (const Word& w : kWords) {
    size_t at = find_ci(name, w.text);
    if (at == std::string_view::npos) continue;
    bool p = marked_proportional(name, at);
    if (w.mincho) return p ? FaceKind::mincho_proportional : FaceKind::mincho;
    return p ? FaceKind::gothic_proportional : FaceKind::gothic;
  }
  return FaceKind::none;
}

std::span<const char* const> families_for(FaceKind kind) {
  switch (kind) {
    case FaceKind::gothic: return kGothic;
    case FaceKind::gothic_proportional: return kGothicP;
    case FaceKind::mincho: return kMincho;
    case FaceKind::mincho_proportional: return kMinchoP;
    case FaceKind::none: break;
  }
  return {};
}

}  // namespace nv::platform
