// The font service over fontconfig and FreeType, on the pinned font set
// (fonts-ipafont-gothic, fonts-ipafont-mincho, fonts-dejavu-core).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/font_names.h"
#include "platform/fonts.h"
#include "tests/support/shell.h"

namespace nv::platform {
namespace {

TEST(FaceKind, SortsWindowsFaceNamesIntoKinds) {
  struct Case {
    const char* name;
    FaceKind kind;
  } cases[] = {
      {"ＭＳ ゴシック", FaceKind::gothic},
      {"ＭＳ Ｐゴシック", FaceKind::gothic_proportional},
      {"標準ゴシック", FaceKind::gothic},
      {"ＭＳ 明朝", FaceKind::mincho},
      {"ＭＳ Ｐ明朝", FaceKind::mincho_proportional},
      {"標準明朝", FaceKind::mincho},
      {"MS PGothic", FaceKind::gothic_proportional},
      {"ms gothic", FaceKind::gothic},
      {"MS UI Gothic", FaceKind::gothic},
      {"MS P Mincho", FaceKind::mincho_proportional},
      {"IPAexGothic", FaceKind::gothic},
      {"ＭＳ Ｐ　ゴシック", FaceKind::gothic_proportional},
      {"Arial", FaceKind::none},
      {"", FaceKind::none},
      {"ゴシ", FaceKind::none},
  };
  for (const Case& c : cases) EXPECT_EQ(face_kind(c.name), c.kind) << c.name;
  EXPECT_TRUE(families_for(FaceKind::none).empty());
  EXPECT_STREQ(families_for(FaceKind::gothic_proportional).front(), "IPAPGothic");
  EXPECT_STREQ(families_for(FaceKind::mincho).back(), "serif");
}

class PinnedFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    if (pinned_font_files().size() < 10) GTEST_SKIP() << "the pinned fonts are not all installed (scripts/install-deps.sh)";
    fonts = make_font_service(FontSetup::pinned);
  }
  int index_of(const std::string& name) {
    const auto& f = fonts->families();
    for (size_t i = 0; i < f.size(); ++i)
      if (f[i].name == name) return int(i);
    return -1;
  }
  std::unique_ptr<FontService> fonts;
};

TEST_F(PinnedFonts, ListsOneEntryPerFamilySortedWithJapaneseNamesAndFlags) {
  const auto& f = fonts->families();
  std::vector<std::string> names;
  for (const FontFamily& fam : f) names.push_back(fam.name);
  EXPECT_EQ(names, (std::vector<std::string>{"DejaVu Sans", "DejaVu Sans Mono", "DejaVu Serif", "IPA Pゴシック",
                                             "IPA P明朝", "IPAゴシック", "IPA明朝"}));
  const FontFamily& gothic = f[size_t(index_of("IPAゴシック"))];
  EXPECT_TRUE(gothic.fixed_pitch);
  EXPECT_TRUE(gothic.japanese);
  EXPECT_FALSE(gothic.has_bold_face);
  EXPECT_NE(std::find(gothic.names.begin(), gothic.names.end(), "IPAGothic"), gothic.names.end());
  const FontFamily& pgothic = f[size_t(index_of("IPA Pゴシック"))];
  EXPECT_FALSE(pgothic.fixed_pitch);
  EXPECT_TRUE(pgothic.japanese);
  const FontFamily& sans = f[size_t(index_of("DejaVu Sans"))];
  EXPECT_FALSE(sans.fixed_pitch);
  EXPECT_FALSE(sans.japanese);
  EXPECT_TRUE(sans.has_bold_face);
  EXPECT_TRUE(f[size_t(index_of("DejaVu Sans Mono"))].fixed_pitch);
}

TEST_F(PinnedFonts, ResolvesFaceNamesByNameThenByKind) {
  EXPECT_EQ(fonts->find_family("ＭＳ ゴシック"), index_of("IPAゴシック"));
  EXPECT_EQ(fonts->find_family("標準ゴシック"), index_of("IPAゴシック"));
  EXPECT_EQ(fonts->find_family("ＭＳ Ｐゴシック"), index_of("IPA Pゴシック"));
  EXPECT_EQ(fonts->find_family("ＭＳ 明朝"), index_of("IPA明朝"));
  EXPECT_EQ(fonts->find_family("MS PMincho"), index_of("IPA P明朝"));
  EXPECT_EQ(fonts->find_family("IPAGothic"), index_of("IPAゴシック"));
  EXPECT_EQ(fonts->find_family("dejavu sans"), index_of("DejaVu Sans"));
  EXPECT_EQ(fonts->find_family("Arial"), -1);
  EXPECT_EQ(fonts->fallback_family(), index_of("IPAゴシック"));
}

TEST_F(PinnedFonts, ALatinFamilyDrawsKanaFromTheJapaneseFallback) {
  const int sans = index_of("DejaVu Sans");
  FaceChoice latin, kana;
  ASSERT_TRUE(fonts->describe(sans, 24, false, U'A', latin));
  EXPECT_FALSE(latin.fallback);
  EXPECT_NE(latin.file.find("DejaVuSans.ttf"), std::string::npos);
  ASSERT_TRUE(fonts->describe(sans, 24, false, U'あ', kana));
  EXPECT_TRUE(kana.fallback);
  EXPECT_NE(kana.file.find("ipag.ttf"), std::string::npos);
  MonoGlyph g;
  ASSERT_TRUE(fonts->render(sans, 24, false, U'あ', g));
  EXPECT_TRUE(g.found);
  EXPECT_GT(std::count_if(g.bits.begin(), g.bits.end(), [](uint8_t b) { return b != 0; }), 10);
  // A character no pinned font has: nothing drawn, no failure.
  ASSERT_TRUE(fonts->render(sans, 24, false, U'\u0378', g));
  EXPECT_FALSE(g.found);
  EXPECT_TRUE(g.bits.empty());
}

TEST_F(PinnedFonts, BoldComesFromABoldFaceOnlyWhereTheFamilyHasOne) {
  FaceChoice c;
  ASSERT_TRUE(fonts->describe(index_of("DejaVu Sans"), 24, true, U'A', c));
  EXPECT_TRUE(c.bold_face);
  EXPECT_NE(c.file.find("DejaVuSans-Bold.ttf"), std::string::npos);
  MonoGlyph g;
  ASSERT_TRUE(fonts->render(index_of("IPAゴシック"), 24, true, U'A', g));
  EXPECT_FALSE(g.bold_face);
  EXPECT_GT(g.advance, 0);
}

// Every glyph lies inside its cell: sized by the cell height (ascent plus
// descent), baseline at the ascent, descenders kept.
TEST_F(PinnedFonts, GlyphsKeepTheirDescendersInsideTheCell) {
  for (const char* family : {"IPAゴシック", "IPA明朝", "DejaVu Sans", "DejaVu Serif"}) {
    for (int cell = 8; cell <= 96; cell += 11) {
      for (char32_t cp : {U'g', U'j', U'y', U'Q', U'漢', U'あ', U'」'}) {
        MonoGlyph g;
        ASSERT_TRUE(fonts->render(index_of(family), cell, false, cp, g));
        if (g.rows == 0) continue;
        const int first = g.ascent - g.top, last = first + g.rows - 1;
        EXPECT_GE(first, 0) << family << " " << cell << " U+" << std::hex << uint32_t(cp);
        EXPECT_LT(last, cell) << family << " " << cell << " U+" << std::hex << uint32_t(cp);
      }
    }
  }
  // IPA Gothic: 2048 units per em, Windows ascent 1802 and descent 401.
  FaceChoice c;
  ASSERT_TRUE(fonts->describe(index_of("IPAゴシック"), 24, false, U'あ', c));
  EXPECT_EQ(c.em_pixels, 24 * 2048 / 2203);
  EXPECT_EQ(c.ascent, (1802 * c.em_pixels * 2 + 2048) / 4096);
}

TEST_F(PinnedFonts, UnknownFamiliesFailToRender) {
  MonoGlyph g;
  EXPECT_FALSE(fonts->render(-1, 24, false, U'A', g));
  EXPECT_FALSE(fonts->render(int(fonts->families().size()), 24, false, U'A', g));
}

// On the host's own configuration a Windows face name alone matches a font
// without kana; through the alias table the engine gets one with kana.
TEST(SystemFonts, AWindowsGothicNameGetsAFontWithKana) {
  const std::string langs = nv::test::output_of("fc-match -f '%{lang}' 'ＭＳ ゴシック' 2>/dev/null");
  auto fonts = make_font_service(FontSetup::system);
  const int family = fonts->find_family("ＭＳ ゴシック");
  if (family < 0) GTEST_SKIP() << "no Japanese font installed";
  FaceChoice c;
  ASSERT_TRUE(fonts->describe(family, 24, false, U'あ', c));
  EXPECT_FALSE(c.fallback) << c.file;
  EXPECT_TRUE(fonts->families()[size_t(family)].japanese);
  // What fontconfig alone picks for the name (on a stock system a font
  // without Japanese), kept beside the result.
  RecordProperty("fc_match_languages", langs);
}

}  // namespace
}  // namespace nv::platform
