#include "platform/posix/font_catalog.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace nv::platform {

namespace {

std::string string_of(FcPattern* p, const char* object, int n = 0) {
  FcChar8* s = nullptr;
  if (FcPatternGetString(p, object, n, &s) != FcResultMatch || !s) return {};
  return reinterpret_cast<const char*>(s);
}

int int_of(FcPattern* p, const char* object, int fallback) {
  int v = 0;
  return FcPatternGetInteger(p, object, 0, &v) == FcResultMatch ? v : fallback;
}

bool has_kana_and_kanji(FcPattern* p) {
  FcCharSet* cs = nullptr;
  if (FcPatternGetCharSet(p, FC_CHARSET, 0, &cs) != FcResultMatch || !cs) return false;
  return FcCharSetHasChar(cs, 0x3042) && FcCharSetHasChar(cs, 0x6F22);  // あ, 漢
}

// One face of a family as fontconfig lists it.
struct ListedFace {
  FaceFile file;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
  int spacing = FC_PROPORTIONAL;
  bool japanese = false;
  bool covers = false;  // kana and kanji
};

// How far a face is from the regular (or bold) weight; upright faces first.
int distance(const ListedFace& f, int weight) {
  return (f.slant == FC_SLANT_ROMAN ? 0 : 10000) + std::abs(f.weight - weight);
}

bool better(const ListedFace& a, const ListedFace& b, int weight) {
  int da = distance(a, weight), db = distance(b, weight);
  if (da != db) return da < db;
  if (a.file.file != b.file.file) return a.file.file < b.file.file;
  return a.file.index < b.file.index;
}

}  // namespace

FontCatalog::FontCatalog(FcConfig* config) : config_(config) { load(); }

FontCatalog::~FontCatalog() {
  if (config_) FcConfigDestroy(config_);
}

void FontCatalog::load() {
  if (!config_) return;
  FcPattern* all = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_SPACING, FC_LANG, FC_FILE, FC_INDEX, FC_WEIGHT,
                                          FC_SLANT, FC_SCALABLE, FC_CHARSET, nullptr);
  FcFontSet* set = FcFontList(config_, all, objects);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(all);
  if (!set) return;

  struct Gathered {
    std::vector<std::string> names;
    std::string japanese_name;
    std::vector<ListedFace> faces;
  };
  std::map<std::string, Gathered> by_family;
  for (int i = 0; i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    FcBool scalable = FcFalse;
    if (FcPatternGetBool(p, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable) continue;
    std::string primary = string_of(p, FC_FAMILY);
    std::string file = string_of(p, FC_FILE);
    if (primary.empty() || file.empty()) continue;
    Gathered& g = by_family[primary];
    for (int n = 0;; ++n) {
      std::string name = string_of(p, FC_FAMILY, n);
      if (name.empty()) break;
      if (std::find(g.names.begin(), g.names.end(), name) == g.names.end()) g.names.push_back(name);
      if (g.japanese_name.empty() && string_of(p, FC_FAMILYLANG, n) == "ja") g.japanese_name = name;
    }
    ListedFace f;
    f.file = {file, int_of(p, FC_INDEX, 0)};
    f.weight = int_of(p, FC_WEIGHT, FC_WEIGHT_REGULAR);
    f.slant = int_of(p, FC_SLANT, FC_SLANT_ROMAN);
    f.spacing = int_of(p, FC_SPACING, FC_PROPORTIONAL);
    FcLangSet* langs = nullptr;
    f.japanese = FcPatternGetLangSet(p, FC_LANG, 0, &langs) == FcResultMatch && langs &&
                 FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
    f.covers = has_kana_and_kanji(p);
    g.faces.push_back(std::move(f));
  }
  FcFontSetDestroy(set);

  for (auto& [primary, g] : by_family) {
    const ListedFace* regular = nullptr;
    const ListedFace* bold = nullptr;
    for (const ListedFace& f : g.faces) {
      if (!regular || better(f, *regular, FC_WEIGHT_REGULAR)) regular = &f;
      if (f.slant == FC_SLANT_ROMAN && f.weight >= FC_WEIGHT_DEMIBOLD && (!bold || better(f, *bold, FC_WEIGHT_BOLD)))
        bold = &f;
    }
    CatalogFamily c;
    c.family.name = g.japanese_name.empty() ? primary : g.japanese_name;
    c.family.names.push_back(c.family.name);
    for (const std::string& n : g.names)
      if (n != c.family.name) c.family.names.push_back(n);
    c.family.fixed_pitch = regular->spacing == FC_MONO || regular->spacing == FC_DUAL || regular->spacing == FC_CHARCELL;
    c.family.japanese = regular->japanese;
    c.regular = regular->file;
    if (bold && bold != regular) {
      c.bold = bold->file;
      c.family.has_bold_face = true;
    }
    entries_.push_back(std::move(c));
  }
  std::sort(entries_.begin(), entries_.end(), [](const CatalogFamily& a, const CatalogFamily& b) {
    if (a.family.name != b.family.name) return a.family.name < b.family.name;
    return a.family.names < b.family.names;
  });
  for (const CatalogFamily& c : entries_) list_.push_back(c.family);
}

int FontCatalog::family_named(std::string_view name) const {
  if (name.empty()) return -1;
  for (size_t i = 0; i < entries_.size(); ++i)
    for (const std::string& n : entries_[i].family.names)
      if (same_face_name(n, name)) return int(i);
  return -1;
}

int FontCatalog::family_for(FaceKind kind) {
  if (kind == FaceKind::none) return -1;
  int& cached = kind_cache_[size_t(kind)];
  if (cached == -2) cached = match_kind(kind);
  return cached;
}

int FontCatalog::match_kind(FaceKind kind) const {
  if (!config_ || entries_.empty()) return -1;
  FcPattern* want = FcPatternCreate();
  for (const char* family : families_for(kind))
    FcPatternAddString(want, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddString(want, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcConfigSubstitute(config_, want, FcMatchPattern);
  FcDefaultSubstitute(want);

  int found = -1;
  FcResult result = FcResultNoMatch;
  if (FcPattern* best = FcFontMatch(config_, want, &result)) {
    if (has_kana_and_kanji(best)) found = family_named(string_of(best, FC_FAMILY));
    FcPatternDestroy(best);
  }
  if (found < 0) {
    // The best match lacks kana or kanji (a Latin font picked by name):
    // take the first font in fontconfig's order that has both.
    if (FcFontSet* sorted = FcFontSort(config_, want, FcTrue, nullptr, &result)) {
      for (int i = 0; i < sorted->nfont && found < 0; ++i)
        if (has_kana_and_kanji(sorted->fonts[i])) found = family_named(string_of(sorted->fonts[i], FC_FAMILY));
      FcFontSetDestroy(sorted);
    }
  }
  FcPatternDestroy(want);
  return found;
}

}  // namespace nv::platform
