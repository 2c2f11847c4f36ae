#include "platform/headless/display_headless.h"

#include <gtest/gtest.h>

#include <vector>

namespace nv::platform {
namespace {

struct RecordingSink : WindowEvents {
  std::vector<std::string> seen;
  void on_close_box(int s) override { seen.push_back("close " + std::to_string(s)); }
  void on_minimize_box(int s) override { seen.push_back("min " + std::to_string(s)); }
  void on_maximize_box(int s) override { seen.push_back("max " + std::to_string(s)); }
  void on_activate(int s, bool a) override { seen.push_back("act " + std::to_string(s) + (a ? "1" : "0")); }
  void on_exposed(int) override {}
  void on_key(int vk, bool down) override { seen.push_back("key " + std::to_string(vk) + (down ? "d" : "u")); }
  void on_mouse_move(int, int, int) override {}
  void on_mouse_button(int s, MouseButton, bool, int x, int y) override {
    seen.push_back("press " + std::to_string(s) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void on_wheel(int, int) override {}
  void on_drop_files(int, const std::vector<std::string>&) override {}
  void on_quit() override { seen.push_back("quit"); }
};

TEST(HeadlessDisplay, PresentsAtAnOffsetClippedToTheClientArea) {
  HeadlessDisplay d({1920, 1080});
  WindowSpec spec;
  spec.client_width = 8;
  spec.client_height = 4;
  ASSERT_TRUE(d.create_window(0, spec));
  std::vector<uint32_t> canvas(4 * 3, 0xFF112233u);
  d.present(0, canvas.data(), 4, 3, 6, 2);  // only 2 x 2 of it lands inside
  int w = 0, h = 0;
  auto px = d.client_pixels(0, w, h);
  ASSERT_EQ(w, 8);
  ASSERT_EQ(h, 4);
  EXPECT_EQ(px[2 * 8 + 6], 0xFF112233u);
  EXPECT_EQ(px[3 * 8 + 7], 0xFF112233u);
  EXPECT_EQ(px[1 * 8 + 6], 0xFF000000u);
  EXPECT_EQ(px[2 * 8 + 5], 0xFF000000u);
  d.present(0, canvas.data(), 4, 3, -2, -1);  // top-left corner off the client area
  px = d.client_pixels(0, w, h);
  EXPECT_EQ(px[0], 0xFF112233u);
  EXPECT_EQ(px[1 * 8 + 1], 0xFF112233u);
  EXPECT_EQ(px[2 * 8 + 1], 0xFF000000u);
  d.blank(0);
  px = d.client_pixels(0, w, h);
  EXPECT_EQ(px[2 * 8 + 6], 0xFF000000u);
  EXPECT_EQ(d.window(0).blanks, 1);
}

TEST(HeadlessDisplay, OuterRectAddsTheFrameAndResizeKeepsPixels) {
  HeadlessDisplay d({1920, 1080});
  WindowSpec spec;
  spec.x = 10;
  spec.y = 20;
  spec.client_width = 4;
  spec.client_height = 4;
  ASSERT_TRUE(d.create_window(1, spec));
  Rect r = d.outer_rect(1);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.width(), 4 + 2 * HeadlessDisplay::kBorder);
  EXPECT_EQ(r.height(), 4 + 2 * HeadlessDisplay::kBorder + HeadlessDisplay::kCaption);
  uint32_t one = 0xFFABCDEFu;
  d.present(1, &one, 1, 1, 3, 3);
  d.resize_client(1, 6, 5);
  int w, h;
  auto px = d.client_pixels(1, w, h);
  EXPECT_EQ(px[3 * 6 + 3], 0xFFABCDEFu);
  EXPECT_EQ(w, 6);
  WindowSpec empty;
  empty.client_width = 0;
  EXPECT_FALSE(d.create_window(2, empty));
}

TEST(HeadlessDisplay, StackingFollowsZOrders) {
  HeadlessDisplay d({1920, 1080});
  for (int s = 0; s < 3; ++s) ASSERT_TRUE(d.create_window(s, WindowSpec{}));
  EXPECT_EQ(d.stacking(), (std::vector<int>{2, 1, 0}));
  d.set_z_order(2, ZOrder::behind_main);
  EXPECT_EQ(d.stacking(), (std::vector<int>{1, 0, 2}));
  d.set_z_order(0, ZOrder::always_on_top);
  d.raise(1);
  EXPECT_EQ(d.stacking(), (std::vector<int>{0, 1, 2}));
  d.set_z_order(1, ZOrder::bottom);
  EXPECT_EQ(d.stacking().back(), 1);
  d.destroy_window(1);
  EXPECT_EQ(d.stacking(), (std::vector<int>{0, 2}));
  EXPECT_FALSE(d.exists(1));
}

TEST(HeadlessDisplay, InjectedEventsAndDragTest) {
  HeadlessDisplay d({1920, 1080});
  ASSERT_TRUE(d.create_window(0, WindowSpec{}));
  d.set_drag_test(0, [](int x, int) { return x < 10; });
  d.inject_left_press(0, 5, 5);   // on the drag layer: the desktop drags
  d.inject_left_press(0, 50, 5);  // elsewhere: a press for the engine
  d.inject([](WindowEvents& s) { s.on_close_box(0); });
  RecordingSink sink;
  d.pump_events(sink);
  EXPECT_EQ(sink.seen, (std::vector<std::string>{"press 0 50,5", "close 0"}));
  EXPECT_EQ(d.window(0).drags, 1);
  sink.seen.clear();
  d.pump_events(sink);
  EXPECT_TRUE(sink.seen.empty());
}

}  // namespace
}  // namespace nv::platform
