#include <gtest/gtest.h>

#include "graphics/compose.h"
#include "tests/graphics/layer_test_support.h"
#include "tests/support/title_run.h"

namespace nv::test {
namespace {

TEST(LayerTree, StartupSetHasTheScreenSize) {
  TitleRun r("WAIT[FRAME=1]\n");
  ASSERT_TRUE(r.start()) << r.messages() << r.dialogs();
  LayerNode* w0 = layer_at(r.engine(), "W0/");
  ASSERT_NE(w0, nullptr);
  EXPECT_EQ(w0->layer->sx, 640);
  EXPECT_EQ(w0->layer->sy, 480);
  EXPECT_EQ(w0->z, 1);
  EXPECT_EQ(r.engine().graphics.windows[0].set, w0);
}

}  // namespace
}  // namespace nv::test
