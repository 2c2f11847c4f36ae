// Real windows under an X server (the test runs under xvfb-run): what the
// SDL backend presents must be what a screenshot of the screen shows.
#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/display_sdl.h"
#include "platform/sdl/platform_sdl.h"
#include "tests/platform/sdl/x_screen.h"

namespace nv::platform {
namespace {

using test::at;
using test::screenshot;
using test::settle;

// 64 x 32: left half red, right half blue, a green 8 x 8 square at 28, 12.
std::vector<uint32_t> test_frame() {
  std::vector<uint32_t> px(64 * 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 64; ++x) {
      uint32_t c = x < 32 ? 0xFFFF0000u : 0xFF0000FFu;
      if (x >= 28 && x < 36 && y >= 12 && y < 20) c = 0xFF00FF00u;
      px[size_t(y) * 64 + size_t(x)] = c;
    }
  return px;
}

TEST(SdlWindow, PresentedFrameIsOnTheScreenAndFullScreenLetterboxes) {
  std::string error;
  auto d = make_sdl_display(error);
  ASSERT_TRUE(d) << error;
  WindowSpec spec;
  spec.caption = "Nivalo test";
  spec.x = 100;
  spec.y = 50;
  spec.client_width = 64;
  spec.client_height = 32;
  spec.framed = false;  // no window manager runs under the test server
  spec.shown = true;
  ASSERT_TRUE(d->create_window(0, spec));
  auto frame = test_frame();
  settle(*d);
  d->present(0, frame.data(), 64, 32, 0, 0);
  settle(*d);

  int w = 0, h = 0;
  auto shot = screenshot(w, h);
  ASSERT_EQ(shot.size(), size_t(w) * size_t(h) * 3) << "no screenshot (is ImageMagick installed?)";
  EXPECT_EQ(at(shot, w, 100 + 5, 50 + 5), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(at(shot, w, 100 + 60, 50 + 30), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(at(shot, w, 100 + 30, 50 + 15), (std::array<int, 3>{0, 255, 0}));
  EXPECT_NE(at(shot, w, 100 + 64, 50 + 5), (std::array<int, 3>{0, 0, 255}));  // past the right edge

  // Full screen on an 800 x 600 screen: 64 x 32 scales by 12.5 to 800 x 400,
  // centred with black bars of 100 rows above and below.
  ASSERT_TRUE(d->set_fullscreen(true, 64, 32));
  settle(*d);
  d->present(0, frame.data(), 64, 32, 0, 0);
  settle(*d);
  shot = screenshot(w, h);
  ASSERT_EQ(w, 800);
  ASSERT_EQ(h, 600);
  EXPECT_EQ(at(shot, w, 400, 50), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(at(shot, w, 400, 560), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(at(shot, w, 20, 120), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(at(shot, w, 780, 480), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(at(shot, w, 400, 300), (std::array<int, 3>{0, 255, 0}));  // the square, scaled
  ASSERT_TRUE(d->set_fullscreen(false, 64, 32));
}

// SDL's virtual joysticks stand in for devices plugged in.
TEST(SdlJoysticks, AttachedDevicesAreCounted) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  const int before = count_sdl_joysticks();
  const int pad = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 1);
  ASSERT_GE(pad, 0) << SDL_GetError();
  const int stick = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_UNKNOWN, 2, 2, 0);
  ASSERT_GE(stick, 0) << SDL_GetError();
  EXPECT_EQ(count_sdl_joysticks(), before + 2);
  SDL_JoystickDetachVirtual(stick);
  SDL_JoystickDetachVirtual(pad);
  EXPECT_EQ(count_sdl_joysticks(), before);
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace
}  // namespace nv::platform
