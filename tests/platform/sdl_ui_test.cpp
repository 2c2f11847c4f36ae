// Engine-drawn pop-up menus and the input dialog in real windows under a
// virtual X server, driven by xdotool as a user's mouse and keyboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/encoding.h"
#include "platform/sdl/sdl_ui.h"
#include "tests/support/box_font.h"

namespace nv::platform {
namespace {

class SdlUi : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError(); }
  void TearDown() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
  test::BoxFont font;
};

// Runs `command` in the background after a moment, as the user acting on
// what the loop shows.
void later(const std::string& command) {
  std::thread([command] { (void)std::system(("sleep 1.2; " + command + " >/dev/null 2>&1").c_str()); }).detach();
}

MenuItem item(const char* text, uint32_t id) {
  MenuItem m;
  m.text = text;
  m.id = id;
  return m;
}

MenuList sample() {
  MenuItem sub = item("Sub", 0);
  sub.popup = true;
  sub.submenu = {item("Deep", 31), item("Deeper", 32)};
  MenuItem grey = item("Grey", 22);
  grey.greyed = true;
  return {item("First", 11), grey, sub};
}

std::pair<int, int> centre(const MenuSession& s, size_t p, size_t i) {
  const auto& pn = s.panels()[p];
  const Rect r = pn.layout.items[i];
  return {pn.x + (r.left + r.right) / 2, pn.y + (r.top + r.bottom) / 2};
}

std::string xy(std::pair<int, int> p) { return std::to_string(p.first) + " " + std::to_string(p.second); }

TEST_F(SdlUi, APopupItemClickedIsChosen) {
  const MenuList l = sample();
  MenuSession s = MenuSession::popup(l, 200, 150, {0, 0, 800, 600}, font);
  later("xdotool mousemove " + xy(centre(s, 0, 0)) + " sleep 0.2 click 1");
  std::vector<SDL_Event> deferred;
  EXPECT_EQ(run_sdl_menu(s, font, deferred), 11u);
}

TEST_F(SdlUi, ACascadeItemIsReachedThroughItsParent) {
  const MenuList l = sample();
  MenuSession s = MenuSession::popup(l, 100, 100, {0, 0, 800, 600}, font);
  const auto sub = centre(s, 0, 2);
  // The cascade opens to the right of the panel, its first item level with "Sub".
  const auto& p0 = s.panels()[0];
  const int cx = p0.x + p0.layout.width + 30;
  const int cy = sub.second + s.metrics().item_height;  // the second item, "Deeper"
  later("xdotool mousemove " + xy(sub) + " sleep 0.3 mousemove " + std::to_string(p0.x + p0.layout.width + 5) + " " +
        std::to_string(sub.second) + " sleep 0.3 mousemove " + std::to_string(cx) + " " + std::to_string(cy) +
        " sleep 0.3 click 1");
  std::vector<SDL_Event> deferred;
  EXPECT_EQ(run_sdl_menu(s, font, deferred), 32u);
}

TEST_F(SdlUi, AClickOutsideOnTheOwnerDismisses) {
  SDL_Window* owner = SDL_CreateWindow("owner", 300, 300, 300, 200, SDL_WINDOW_SHOWN);
  ASSERT_NE(owner, nullptr);
  for (int i = 0; i < 20; ++i) {
    SDL_PumpEvents();
    SDL_Delay(20);
  }
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  const MenuList l = sample();
  MenuSession s = MenuSession::popup(l, 20, 20, {0, 0, 800, 600}, font);
  later("xdotool mousemove 450 420 sleep 0.2 click 1");
  std::vector<SDL_Event> deferred;
  EXPECT_EQ(run_sdl_menu(s, font, deferred), 0u);
  SDL_DestroyWindow(owner);
}

TEST_F(SdlUi, TextTypedIntoTheInputDialogComesBackInShiftJis) {
  InputBoxSpec spec;
  spec.caption = utf8_to_sjis("入力テスト");
  spec.prompt = utf8_to_sjis("名前");
  spec.default_text = "ab";
  // The dialog takes the focus when it opens. A character the keyboard map
  // lacks is typed through a key mapped for it a moment only: type those
  // slowly, so that the window reads the key while the mapping holds.
  later("export LC_ALL=C.UTF-8; for i in $(seq 50); do xdotool getwindowfocus getwindowname | grep -q 入力 && break; "
        "sleep 0.1; done; xdotool key BackSpace type 'xy'; xdotool type --delay 400 '日本'; sleep 0.5; "
        "xdotool key Return");
  std::vector<SDL_Event> deferred;
  EXPECT_EQ(run_sdl_input_box(spec, font, nullptr, deferred), utf8_to_sjis("axy日本"));
}

}  // namespace
}  // namespace nv::platform
