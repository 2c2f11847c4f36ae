// The font families fontconfig knows, with the files of their regular and
// bold faces, and the matching of face kinds to families.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font_names.h"
#include "platform/fonts.h"

typedef struct _FcConfig FcConfig;

namespace nv::platform {

struct FaceFile {
  std::string file;
  int index = 0;
};

struct CatalogFamily {
  FontFamily family;
  FaceFile regular;
  FaceFile bold;  // empty file when the family has no bold face
};

class FontCatalog {
 public:
  // Takes ownership of `config`.
  explicit FontCatalog(FcConfig* config);
  ~FontCatalog();
  FontCatalog(const FontCatalog&) = delete;
  FontCatalog& operator=(const FontCatalog&) = delete;

  const std::vector<FontFamily>& families() const { return list_; }
  const CatalogFamily& at(int i) const { return entries_[size_t(i)]; }
  int size() const { return int(entries_.size()); }

  // A family known by `name` (ASCII case ignored), else -1.
  int family_named(std::string_view name) const;
  // The family that stands for `kind`: fontconfig's best match among the
  // kind's families for the language "ja", checked for kana and kanji,
  // else the first font fontconfig sorts after it that has both.
  int family_for(FaceKind kind);

 private:
  void load();
  int match_kind(FaceKind kind) const;

  FcConfig* config_;
  std::vector<CatalogFamily> entries_;
  std::vector<FontFamily> list_;
  std::array<int, 5> kind_cache_{-2, -2, -2, -2, -2};
};

}  // namespace nv::platform
