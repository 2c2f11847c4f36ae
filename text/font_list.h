// The font list scripts see: one entry per installed family, numbered from
// 1 in scripts, with its face name in Shift-JIS and its pitch and language.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fonts.h"

namespace nv::text {

struct FontEntry {
  std::string name;   // Shift-JIS
  int32_t pitch = 1;  // 0 fixed pitch, 1 variable
  int32_t lang = 1;   // 0 Japanese, 1 any other
};

struct FontList {
  std::vector<FontEntry> entries;
};

// The list of `fonts`' families in its order; empty without fonts. A
// family's face name is the first of its names code page 932 can hold.
FontList make_font_list(platform::FontService* fonts);

// The entry a Shift-JIS face name selects: a family of that name, else the
// family the engine's alias table gives a gothic or mincho name; -1 when
// none.
int32_t find_font(platform::FontService* fonts, std::string_view sjis_name);

// The face every font slot starts with: the first of "ＭＳ ゴシック",
// "標準ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝", "標準明朝" found, else the
// first Japanese face, else the first entry.
int32_t start_font(const FontList& list, platform::FontService* fonts);

}  // namespace nv::text
