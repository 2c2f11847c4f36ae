// Shaped windows, window placement and mouse positions through the
// full-screen scaling, in real windows under a virtual X server.
#include <gtest/gtest.h>

#include <SDL.h>

#include <optional>
#include <vector>

#include "platform/sdl/display_sdl.h"
#include "tests/platform/sdl/x_screen.h"

namespace nv::platform {
namespace {

using test::Rgb;
using test::ScreenPoint;
using test::wait_for_screen;

constexpr Rgb kYellow{255, 255, 0}, kCyan{0, 255, 255}, kMagenta{255, 0, 255};

WindowSpec spec_at(int x, int y, int w, int h) {
  WindowSpec s;
  s.caption = "shape test";
  s.x = x;
  s.y = y;
  s.client_width = w;
  s.client_height = h;
  s.framed = false;
  s.shown = true;
  return s;
}

std::vector<uint32_t> filled(int w, int h, uint32_t c) { return std::vector<uint32_t>(size_t(w) * size_t(h), c); }

// 120 x 80: left half cyan, right half magenta.
std::vector<uint32_t> halves() {
  std::vector<uint32_t> px(120 * 80);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 120; ++x) px[size_t(y) * 120 + size_t(x)] = x < 60 ? 0xFF00FFFFu : 0xFFFF00FFu;
  return px;
}

TEST(SdlShape, OnlyTheShapeShowsAndSurvivesHidingAndFullScreen) {
  std::string error;
  auto d = make_sdl_display(error);
  ASSERT_TRUE(d) << error;
  // In front, a framed window, which loses its frame while shaped; behind
  // it, with its client area at the same place, a yellow one.
  WindowSpec front = spec_at(200, 100, 120, 80);
  front.framed = true;
  ASSERT_TRUE(d->create_window(0, front));
  auto frame = halves();
  d->present(0, frame.data(), 120, 80, 0, 0);
  d->set_drag_test(0, [](int, int) { return false; });
  test::settle(*d);
  const Rect framed_at = d->outer_rect(0);
  const Rect m = d->frame_margins(true);
  const int cx = framed_at.left + m.left, cy = framed_at.top + m.top;
  ASSERT_TRUE(d->create_window(1, spec_at(cx, cy, 120, 80)));
  auto yellow = filled(120, 80, 0xFFFFFF00u);
  d->present(1, yellow.data(), 120, 80, 0, 0);
  test::settle(*d);

  // Two rectangles: one in each half.
  ASSERT_TRUE(d->set_shape(0, {{10, 10, 50, 30}, {70, 40, 110, 70}}));
  EXPECT_TRUE(d->exists(0));
  const std::vector<ScreenPoint> shaped = {
      {cx + 30, cy + 20, kCyan},   {cx + 10, cy + 10, kCyan},    {cx + 49, cy + 29, kCyan},
      {cx + 90, cy + 55, kMagenta}, {cx + 109, cy + 69, kMagenta},
      {cx + 5, cy + 5, kYellow},   {cx + 50, cy + 20, kYellow},  {cx + 60, cy + 35, kYellow},
      {cx + 90, cy + 70, kYellow}, {cx + 115, cy + 75, kYellow}, {cx + 100, cy + 20, kYellow}};
  EXPECT_EQ(wait_for_screen(*d, shaped), "");
  // The window keeps its client picture, size and place.
  int w = 0, h = 0;
  EXPECT_EQ(d->client_pixels(0, w, h), frame);
  EXPECT_EQ(d->outer_rect(0).left, cx);  // no frame while shaped
  EXPECT_EQ(d->outer_rect(0).top, cy);


  // A new frame presented into the shaped window shows through the shape.
  auto magenta = filled(120, 80, 0xFFFF00FFu);
  d->present(0, magenta.data(), 120, 80, 0, 0);
  EXPECT_EQ(wait_for_screen(*d, {{cx + 30, cy + 20, kMagenta}, {cx + 5, cy + 5, kYellow}}), "");

  // An empty shape: nothing of the front window shows.
  ASSERT_TRUE(d->set_shape(0, {}));
  EXPECT_EQ(wait_for_screen(*d, {{cx + 30, cy + 20, kYellow}, {cx + 90, cy + 55, kYellow}}), "");

  // Back to the whole rectangle, with the frame, the client where it was.
  d->clear_shape(0);
  d->present(0, frame.data(), 120, 80, 0, 0);
  EXPECT_EQ(wait_for_screen(*d, {{cx + 0, cy + 0, kCyan},
                                 {cx + 30, cy + 20, kCyan},
                                 {cx + 119, cy + 79, kMagenta},
                                 {cx + 100, cy + 20, kMagenta}}),
            "");
  const Rect plain_at = d->outer_rect(0);
  EXPECT_EQ(plain_at.left, framed_at.left);
  EXPECT_EQ(plain_at.top, framed_at.top);

  // Shaped while hidden, the window appears shaped where it was.
  d->show(0, false);
  ASSERT_TRUE(d->set_shape(0, {{10, 10, 50, 30}}));
  d->show(0, true);
  EXPECT_EQ(wait_for_screen(*d, {{cx + 30, cy + 20, kCyan}, {cx + 5, cy + 5, kYellow}, {cx + 90, cy + 55, kYellow}}), "");
  EXPECT_EQ(d->outer_rect(0).left, cx);
  EXPECT_EQ(d->outer_rect(0).top, cy);

  // Full screen is not cut by the shape (120 x 80 scales to 800 x 533 from
  // row 33); back in a window the shape returns.
  ASSERT_TRUE(d->set_fullscreen(true, 120, 80));
  EXPECT_EQ(wait_for_screen(*d, {{5, 300, kCyan}, {795, 300, kMagenta}, {400, 10, {0, 0, 0}}}), "");
  ASSERT_TRUE(d->set_fullscreen(false, 120, 80));
  EXPECT_EQ(wait_for_screen(*d, {{cx + 30, cy + 20, kCyan}, {cx + 5, cy + 5, kYellow}, {cx + 90, cy + 55, kYellow}}), "");
}

TEST(SdlWindow, FramedWindowsHaveTheirFrameWhereAsked) {
  std::string error;
  auto d = make_sdl_display(error);
  ASSERT_TRUE(d) << error;
  WindowSpec main = spec_at(100, 100, 120, 80);
  main.framed = true;
  ASSERT_TRUE(d->create_window(0, main));
  test::settle(*d, 10);
  const Rect m = d->frame_margins(true);
  ASSERT_GT(m.top, 0) << "the window manager gives no frame";
  // A second framed window, once the frame's size is known.
  WindowSpec sub = spec_at(400, 300, 120, 80);
  sub.framed = true;
  ASSERT_TRUE(d->create_window(1, sub));
  auto yellow = filled(120, 80, 0xFFFFFF00u);
  d->present(1, yellow.data(), 120, 80, 0, 0);
  EXPECT_EQ(wait_for_screen(*d, {{400 + m.left, 300 + m.top, kYellow}, {400 + m.left + 119, 300 + m.top + 79, kYellow}}),
            "");
  EXPECT_EQ(d->outer_rect(1).left, 400);
  EXPECT_EQ(d->outer_rect(1).top, 300);
}

struct MouseSink : test::NullSink {
  std::optional<std::array<int, 3>> move, press;  // slot, x, y
  void on_mouse_move(int slot, int x, int y) override { move = {{slot, x, y}}; }
  void on_mouse_button(int slot, MouseButton, bool down, int x, int y) override {
    if (down) press = {{slot, x, y}};
  }
};

// Moves the pointer to the desktop point (x, y) and returns the last
// position the sink got, or {-1, -1, -1} when no motion arrived.
std::array<int, 3> pointer_to(Display& d, int x, int y) {
  MouseSink sink;
  SDL_WarpMouseGlobal(x, y);
  for (int i = 0; i < 50 && !sink.move; ++i) {
    d.pump_events(sink);
    if (!sink.move) SDL_Delay(20);
  }
  d.pump_events(sink);
  return sink.move.value_or(std::array<int, 3>{-1, -1, -1});
}

TEST(SdlWindow, MousePositionsAreCanvasPointsInWindowAndInScaledFullScreen) {
  std::string error;
  auto d = make_sdl_display(error);
  ASSERT_TRUE(d) << error;
  ASSERT_TRUE(d->create_window(0, spec_at(100, 50, 64, 32)));
  auto black = filled(64, 32, 0xFF000000u);
  d->present(0, black.data(), 64, 32, 0, 0);
  test::settle(*d);
  EXPECT_EQ(pointer_to(*d, 100 + 10, 50 + 5), (std::array<int, 3>{0, 10, 5}));
  EXPECT_EQ(pointer_to(*d, 100 + 63, 50 + 31), (std::array<int, 3>{0, 63, 31}));

  // 64 x 32 on 800 x 600: scaled by 12.5 to 800 x 400 from row 100.
  ASSERT_TRUE(d->set_fullscreen(true, 64, 32));
  test::settle(*d);
  EXPECT_EQ(pointer_to(*d, 400, 300), (std::array<int, 3>{0, 32, 16}));
  EXPECT_EQ(pointer_to(*d, 25, 125), (std::array<int, 3>{0, 2, 2}));
  EXPECT_EQ(pointer_to(*d, 799, 499), (std::array<int, 3>{0, 63, 31}));
  // On the bar above the picture: outside the canvas.
  std::array<int, 3> bar = pointer_to(*d, 400, 50);
  EXPECT_EQ(bar[0], 0);
  EXPECT_LT(bar[2], 0);

  // A press at the window point of canvas point (40, 8).
  SDL_Window* win = SDL_GetMouseFocus();
  ASSERT_NE(win, nullptr);
  SDL_Event ev{};
  ev.type = SDL_MOUSEBUTTONDOWN;
  ev.button.windowID = SDL_GetWindowID(win);
  ev.button.button = SDL_BUTTON_LEFT;
  ev.button.state = SDL_PRESSED;
  ev.button.x = 40 * 25 / 2 + 6;
  ev.button.y = 100 + 8 * 25 / 2 + 6;
  ASSERT_EQ(SDL_PushEvent(&ev), 1);
  MouseSink sink;
  d->pump_events(sink);
  ASSERT_TRUE(sink.press);
  EXPECT_EQ(*sink.press, (std::array<int, 3>{0, 40, 8}));
  ASSERT_TRUE(d->set_fullscreen(false, 64, 32));
}

}  // namespace
}  // namespace nv::platform
