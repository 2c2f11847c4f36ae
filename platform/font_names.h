// The engine's alias table: the face names scripts written for Windows use
// ("ＭＳ ゴシック", "ＭＳ Ｐ明朝", "MS PGothic" ...) name a kind of Japanese
// font rather than a file every system has. A name is sorted into a kind,
// and each kind lists the families that stand for it, best first.
#pragma once

#include <span>
#include <string_view>

namespace nv::platform {

enum class FaceKind {
  none,                 // not a name the table knows
  gothic,               // "…ゴシック", "…Gothic": a Japanese sans-serif
  gothic_proportional,  // the same with a "Ｐ"/"P" right before the kind word
  mincho,               // "…明朝", "…Mincho": a Japanese serif
  mincho_proportional,
};

// Whether two face names are the same, ASCII case ignored (as fontconfig
// compares family names).
bool same_face_name(std::string_view a, std::string_view b);

// The kind a UTF-8 face name belongs to. The kind word is matched without
// regard to ASCII case; the proportional marker is a "P" or "Ｐ" directly
// before it (spaces between are allowed).
FaceKind face_kind(std::string_view utf8_name);

// Families that stand for `kind`, best first, ending with the generic
// fontconfig family of the kind. Empty for FaceKind::none.
std::span<const char* const> families_for(FaceKind kind);

}  // namespace nv::platform
