#include "text/font_list.h"

#include "platform/encoding.h"

namespace nv::text {

FontList make_font_list(platform::FontService* fonts) {
  FontList list;
  if (!fonts) return list;
  for (const platform::FontFamily& f : fonts->families()) {
    FontEntry e;
    bool lossless = false;
    for (const std::string& name : f.names) {
      std::string sjis = platform::utf8_to_sjis(name, &lossless);
      if (lossless || e.name.empty()) e.name = std::move(sjis);
      if (lossless) break;
    }
    e.pitch = f.fixed_pitch ? 0 : 1;
    e.lang = f.japanese ? 0 : 1;
    list.entries.push_back(std::move(e));
  }
  return list;
}

int32_t find_font(platform::FontService* fonts, std::string_view sjis_name) {
  if (!fonts || sjis_name.empty()) return -1;
  return fonts->find_family(platform::sjis_to_utf8(sjis_name));
}

int32_t start_font(const FontList& list, platform::FontService* fonts) {
  constexpr const char* kStartNames[] = {"ＭＳ ゴシック", "標準ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝", "標準明朝"};
  if (fonts)
    for (const char* name : kStartNames)
      if (int32_t i = fonts->find_family(name); i >= 0) return i;
  for (size_t i = 0; i < list.entries.size(); ++i)
    if (list.entries[i].lang == 0) return int32_t(i);
  return 0;
}

}  // namespace nv::text
