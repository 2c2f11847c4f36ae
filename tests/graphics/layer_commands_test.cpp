// CG, CGEND and CGINFO run by small titles, and the layer tree they build.
#include <gtest/gtest.h>

#include "graphics/compose.h"
#include "tests/graphics/layer_test_support.h"
#include "tests/support/title_run.h"

namespace nv::test {
namespace {

// The names of a set's children, bottom to top.
std::string child_order(gfx::LayerNode* set) {
  std::string s;
  for (gfx::LayerNode* c = set ? set->first_child() : nullptr; c; c = c->next_sibling()) s += c->name + " ";
  return s;
}

TEST(LayerTree, StartupSetHasTheScreenSize) {
  TitleRun r("WAIT[FRAME=1]\n");
  ASSERT_TRUE(r.start()) << r.messages() << r.dialogs();
  gfx::LayerNode* w0 = layer_at(r.engine(), "W0/");
  ASSERT_NE(w0, nullptr);
  EXPECT_EQ(w0->layer->sx, 640);
  EXPECT_EQ(w0->layer->sy, 480);
  EXPECT_EQ(w0->z, 1);
  EXPECT_EQ(r.engine().graphics.windows[0].set, w0);
}

TEST(LayerPaths, BlankIsRefusedInPathsButAcceptedInALoneName) {
  TitleRun lone(R"(CG[ID="a b" FILE="" Z=1]
)");
  lone.run(3);
  EXPECT_EQ(lone.dialog_count(), 0u) << lone.dialogs();
  EXPECT_NE(layer_at(lone.engine(), "W0/a b"), nullptr);

  // The same layer named through a path with "/" fails, although it exists.
  TitleRun path(R"(CG[ID="a b" FILE="" Z=1]
CG[ID=":W0/a b" X=5]
)");
  path.run(3);
  EXPECT_EQ(path.engine().errors.last_code, 100242u);
  EXPECT_EQ(layer_at(path.engine(), "W0/a b")->layer->x, 0);
}

TEST(LayerPaths, SetPathsRefuseImagesAndNeedSizeAndZ) {
  TitleRun file(R"(CG[ID="x/" FILE="" Z=1 SX=4 SY=4]
)");
  file.run(3);
  EXPECT_EQ(file.engine().errors.last_code, 101280u);
  EXPECT_EQ(layer_at(file.engine(), "W0/x/"), nullptr);

  TitleRun no_z(R"(CG[ID="x/" SX=4 SY=4]
CG[ID="y/" SX=4 SY=3 Z=2]
CG[ID="y/b" FILE="" Z=1]
)");
  no_z.run(3);
  EXPECT_EQ(no_z.dialog_count(), 0u) << no_z.dialogs();
  EXPECT_EQ(layer_at(no_z.engine(), "W0/x/"), nullptr);
  gfx::LayerNode* y = layer_at(no_z.engine(), "W0/y/");
  ASSERT_NE(y, nullptr);
  EXPECT_EQ(y->layer->sy, 3);
  EXPECT_NE(layer_at(no_z.engine(), "W0/y/b"), nullptr);  // relative names go through the set

  TitleRun missing(R"(CG[ID="nope/a" FILE="" Z=1]
)");
  missing.run(3);
  EXPECT_EQ(missing.engine().errors.last_code, 100230u);
}

TEST(LayerCommands, EqualZKeepsCreationOrderAndReplacingMovesOnTop) {
  TitleRun r(R"(CG[ID="a" FILE="" Z=5]
CG[ID="b" FILE="" Z=5]
CG[ID="c" FILE="" Z=5]
G_INT before
CGINFO[ID="a" LET=before Z=1]
CG[ID="a" Z=5]
)");
  r.run(3);
  EXPECT_EQ(r.dialog_count(), 0u) << r.dialogs();
  EXPECT_EQ(child_order(layer_at(r.engine(), "W0/")), "b c a ");
}

TEST(LayerCommands, OpacityClampsArithmeticKindsButStoresPlainValues) {
  TitleRun r(R"(G_INT down, plain, up, t
CG[ID="a" FILE="" Z=1]
CG[ID="a" A-=300]
CGINFO[ID="a" LET=down A=1]
CG[ID="a" A=300]
CGINFO[ID="a" LET=plain A=1]
CG[ID="a" A=200]
CG[ID="a" A+=100]
CGINFO[ID="a" LET=up A=1]
CG[ID="a" T=100]
CG[ID="a" T*=5]
CGINFO[ID="a" LET=t T=1]
)");
  r.run(3);
  EXPECT_EQ(r.dialog_count(), 0u) << r.dialogs();
  EXPECT_EQ(r.int_var("down"), 0);
  EXPECT_EQ(r.int_var("plain"), 300);
  EXPECT_EQ(r.int_var("up"), 256);
  EXPECT_EQ(r.int_var("t"), 256);
}

TEST(LayerCommands, EmptyFileGivesOneTransparentGreyPixel) {
  TitleRun r(R"(CG[ID="a" FILE="" Z=1]
CG[ID="b" FILE="no-such-picture" Z=1]
)");
  r.run(3);
  EXPECT_EQ(r.dialog_count(), 0u) << r.dialogs();
  for (const char* name : {"W0/a", "W0/b"}) {
    gfx::LayerNode* n = layer_at(r.engine(), name);
    ASSERT_NE(n, nullptr) << name;
    EXPECT_EQ(n->layer->sx, 1);
    EXPECT_EQ(n->layer->sy, 1);
    ASSERT_EQ(n->layer->pixels.size(), 1u);
    EXPECT_EQ(n->layer->pixels[0], 0x00808080u);
    EXPECT_FALSE(n->layer->alpha);
  }
}

TEST(LayerCommands, SizeWithFileReframesOntoOpaqueBlack) {
  TitleRun r(R"(CG[ID="a" FILE="tall" Z=1 SX=100 SY=50]
CG[ID="b" FILE="" Z=1]
CG[ID="b" SX=3 SY=3]
)");
  std::vector<uint32_t> px(40 * 80);
  for (size_t i = 0; i < px.size(); ++i) px[i] = 0xFF000000u | uint32_t(i);
  write_png(r.dir(), "tall.png", 40, 80, px);
  r.run(3);
  gfx::LayerNode* a = layer_at(r.engine(), "W0/a");
  ASSERT_NE(a, nullptr);
  const gfx::Layer& l = *a->layer;
  ASSERT_EQ(l.sx, 100);
  ASSERT_EQ(l.sy, 50);
  EXPECT_EQ(l.pixels[0], px[0]);
  EXPECT_EQ(l.pixels[49 * 100 + 39], px[49 * 40 + 39]);
  EXPECT_EQ(l.pixels[49 * 100 + 40], 0xFF000000u);
  EXPECT_EQ(l.pixels[10 * 100 + 99], 0xFF000000u);
  // A size without FILE on a plain layer is refused.
  EXPECT_EQ(r.engine().errors.last_code, 100244u);
}

TEST(LayerCommands, RidNodesShareOneRecordAndOutliveEachOther) {
  TitleRun r(R"(G_INT bx, exists_a
CG[ID="a" FILE="pic" Z=1]
CG[ID="b" RID="a" Z=2]
CG[ID="a" X=30]
CGINFO[ID="b" LET=bx X=1]
CGEND[ID="a"]
CGINFO[ID="a" LET=exists_a EXIST=1]
CGEND[ID="gone"]
CGEND[ID="gone/too"]
)");
  write_png(r.dir(), "pic.png", 4, 2, 0xFF112233u);
  r.run(3);
  EXPECT_EQ(r.dialog_count(), 0u) << r.dialogs();
  EXPECT_EQ(r.int_var("bx"), 30);
  EXPECT_EQ(r.int_var("exists_a"), 0);
  gfx::LayerNode* b = layer_at(r.engine(), "W0/b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->layer.use_count(), 1);
  EXPECT_EQ(b->layer->sx, 4);
  EXPECT_EQ(b->layer->pixels[0], 0xFF112233u);
}

TEST(LayerCommands, MissingLayerAttributeChangeFollowsTheErrorSwitch) {
  TitleRun off(R"(ERROR[COM_CG=0]
CG[ID="none" X=1]
)");
  off.run(3);
  EXPECT_EQ(off.dialog_count(), 0u) << off.dialogs();
  TitleRun on(R"(CG[ID="none" X=1]
)");
  on.run(3);
  EXPECT_EQ(on.engine().errors.last_code, 101230u);
  TitleRun no_z(R"(CG[ID="a" FILE=""]
)");
  no_z.run(3);
  EXPECT_EQ(no_z.engine().errors.last_code, 100240u);
  TitleRun rid(R"(CG[ID="a" RID="none" Z=1]
)");
  rid.run(3);
  EXPECT_EQ(rid.engine().errors.last_code, 101250u);
}

TEST(LayerCommands, MaskTakesBlueBytesAsAlpha) {
  TitleRun r(R"(CG[ID="m" FILE="mask" Z=1]
CG[ID="a" FILE="pic" Z=1 MID="m"]
CG[ID="c" FILE="pic" Z=1]
CG[ID="small" FILE="" Z=1]
CG[ID="c" MID="small"]
)");
  write_png(r.dir(), "pic.png", 2, 1, 0xFF102030u);
  write_png(r.dir(), "mask.png", 2, 1, {0xFF000040u, 0xFF0000C0u});
  r.run(3);
  const gfx::Layer& a = *layer_at(r.engine(), "W0/a")->layer;
  EXPECT_TRUE(a.alpha);
  EXPECT_EQ(a.pixels[0], 0x40102030u);
  EXPECT_EQ(a.pixels[1], 0xC0102030u);
  EXPECT_NE(r.dialogs().find("レイヤ画像とマスクレイヤ画像のサイズが異なります。"), std::string::npos) << r.dialogs();
}

TEST(LayerInfo, PixelQueries) {
  TitleRun r(R"(G_INT col, bad, top, bottom, left, right, none, mouse, mouse2, mouse3, outside, tid_missing
G_STR tid
CG[ID="s/" SX=100 SY=100 Z=1]
CG[ID="s/" X=10 Y=20]
CG[ID="s/p" FILE="pic" Z=1 X=5 Y=5 TID="rule"]
CG[ID="clear" FILE="clear" Z=1]
CGINFO[ID="s/p" LET=col COLOR=1 SET=2 SET2=1]
CGINFO[ID="s/p" LET=bad COLOR=1 SET=9 SET2=0]
CGINFO[ID="s/p" LET=top TRIM=1 SET=1]
CGINFO[ID="s/p" LET=bottom TRIM=1 SET=2]
CGINFO[ID="s/p" LET=left TRIM=1 SET=3]
CGINFO[ID="s/p" LET=right TRIM=1 SET=4]
CGINFO[ID="clear" LET=none TRIM=1 SET=1]
CGINFO[ID="s/p" LET=mouse ONMOUSE=0 SET=17 SET2=26]
CGINFO[ID="s/p" LET=mouse2 ONMOUSE2=0 SET=17 SET2=26]
CGINFO[ID="s/p" LET=mouse3 ONMOUSE3=0 SET=17 SET2=26]
CGINFO[ID="s/p" LET=outside ONMOUSE=0 SET=700 SET2=26]
CGINFO[ID="s/p" LET=tid TID=1]
CGINFO[ID="s/none" LET=tid_missing TID=1]
CGINFO[ID="s/p" COLOR=1]
)");
  // 3 x 2; the pixel at (2, 1) is the only opaque one besides (0, 0).
  write_png(r.dir(), "pic.png", 3, 2, {0x80FF0000u, 0, 0, 0, 0, 0xFF123456u});
  write_png(r.dir(), "clear.png", 2, 2, 0u);
  r.run(3);
  EXPECT_EQ(r.int_var("col"), 0x123456);
  EXPECT_EQ(r.int_var("bad"), -1);
  EXPECT_EQ(r.int_var("top"), 0);
  EXPECT_EQ(r.int_var("bottom"), 1);
  EXPECT_EQ(r.int_var("left"), 0);
  EXPECT_EQ(r.int_var("right"), 2);
  EXPECT_EQ(r.int_var("none"), -1);
  // The layer's absolute position is 15, 25: the point 17, 26 is its (2, 1).
  EXPECT_EQ(r.int_var("mouse"), 0x123456);
  EXPECT_EQ(r.int_var("mouse2"), 0xFF);
  EXPECT_EQ(r.int_var("mouse3"), int64_t(int32_t(0xFF123456u)));
  EXPECT_EQ(r.int_var("outside"), -1);
  EXPECT_EQ(r.text_var("tid"), "rule");
  EXPECT_EQ(r.int_var("tid_missing"), 0);
  EXPECT_EQ(r.engine().errors.last_code, 101295u);
}

}  // namespace
}  // namespace nv::test
