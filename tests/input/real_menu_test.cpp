// Engine-drawn menus and the input dialog of the nivalo executable in a
// real window under a virtual X server, used through xdotool as a player
// would: the menu bar with its pull-downs and cascades, a context pop-up at
// the pointer, and text typed into the input dialog. Where the pieces lie
// on the screen is worked out with the same layout and fonts the engine
// uses; the test waits on what the X server shows, never on fixed delays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/encoding.h"
#include "platform/glyph_ui_font.h"
#include "platform/menu_layout.h"
#include "tests/support/real_window.h"

namespace nv::platform {
namespace {

using test::sh;
using test::slurp;
using test::wait_clipboard;

constexpr const char* kCaption = "nivalo menus";

MenuItem item(const char* utf8, uint32_t id, std::vector<MenuItem> submenu = {}) {
  MenuItem m;
  m.text = utf8_to_sjis(utf8);
  m.id = id;
  m.popup = !submenu.empty();
  m.submenu = std::move(submenu);
  return m;
}

MenuItem separator() {
  MenuItem m;
  m.separator = true;
  return m;
}

// Where a window's client area is on the screen, and its size.
struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};

Geometry geometry(const std::string& id) {
  const std::string info = test::output_of("xwininfo -id " + id + " 2>/dev/null");
  Geometry g;
  auto number = [&](const char* label) {
    const size_t at = info.find(label);
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + std::string(label).size());
  };
  g.x = number("Absolute upper-left X:");
  g.y = number("Absolute upper-left Y:");
  g.width = number("Width:");
  g.height = number("Height:");
  return g;
}

std::string at(int x, int y) { return std::to_string(x) + " " + std::to_string(y); }

std::pair<int, int> centre(const MenuSession::Panel& p, size_t i) {
  const Rect r = p.layout.items[i];
  return {p.x + (r.left + r.right) / 2, p.y + (r.top + r.bottom) / 2};
}

// Waits until a pop-up panel window of the panel's size stands at its place.
bool panel_shown(const MenuSession::Panel& p) {
  return !test::wait_tree_line(std::to_string(p.layout.width) + "x" + std::to_string(p.layout.height) +
                               "\\+-?\\d+\\+-?\\d+ +\\+" + std::to_string(p.x) + "\\+" + std::to_string(p.y) + "\\b")
              .empty();
}

// The X server's windows that have no name (the menu panels), for a
// failure's message.
std::string windows() { return test::output_of("xwininfo -root -tree 2>/dev/null | grep 'has no name'"); }

// The colour of one screen pixel in a screenshot of the root window, as
// ImageMagick writes it ("#RRGGBB").
std::string pixel(const std::string& shot, int x, int y) {
  const std::string txt = test::output_of("convert " + shot + " -crop 1x1+" + std::to_string(x) + "+" +
                                          std::to_string(y) + " +repage -depth 8 txt:- 2>/dev/null");
  const size_t hash = txt.find('#', txt.find('\n'));
  return hash == std::string::npos ? "" : txt.substr(hash, 7);
}

class RealMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    test::clear_clipboard();
    font = make_glyph_ui_font(make_font_service(FontSetup::system));
    if (!font) GTEST_SKIP() << "no font installed (scripts/install-deps.sh installs the Japanese fonts)";
  }
  void TearDown() override { test::clear_clipboard(); }

  // Starts the title and waits for its window; the window's id.
  std::string start(const std::string& script) {
    test::make_real_title(dir, kCaption, script);
    run = std::make_unique<test::RunningTitle>(dir);
    const std::string id = test::window_id(kCaption);
    EXPECT_FALSE(id.empty()) << slurp(dir.path() / "window-err.txt");
    return id;
  }

  test::TempDir dir;
  std::unique_ptr<test::RunningTitle> run;
  std::shared_ptr<UiFont> font;
};

// The title reports every chosen menu command through the clipboard.
constexpr const char* kReportMenus = R"(
LOOP[SET=-1]
  IF SYS_MENU != 0
    CLIPACT[TEXT=1 SET="menu " + str(SYS_MENU)]
    SYS_MENU = 0
  IFEND
  WAIT[FRAME=1]
LOOPEND
)";

TEST_F(RealMenus, BarPullDownAndCascadeItemsGiveTheirCodes) {
  const std::string id = start(std::string(R"(*SYSTEM_START
MENU[ID="bar/" NAME="bar" Z=1]
MENU[ID="bar/file/" NAME="ファイル" Z=1]
MENU[ID="bar/file/open" NAME="開く" Z=1 CODE=101]
MENU[ID="bar/file/sep" NAME="" Z=2]
MENU[ID="bar/file/more/" NAME="その他" Z=3]
MENU[ID="bar/file/more/a" NAME="設定" Z=1 CODE=201]
MENU[ID="bar/file/more/b" NAME="情報" Z=2 CODE=202]
MENU[ID="bar/help" NAME="ヘルプ" Z=2 CODE=7]
WINDOW[NO=0 MENUID="bar/"]
)") + kReportMenus);
  ASSERT_FALSE(id.empty());
  const MenuList bar = {
      item("ファイル", 0, {item("開く", 101), separator(), item("その他", 0, {item("設定", 201), item("情報", 202)})}),
      item("ヘルプ", 7)};
  const int bar_h = menu_metrics(*font).bar_height;

  // The window grows by the bar; the canvas keeps its size below it.
  Geometry g;
  for (int i = 0; i < 100 && (g = geometry(id)).height != 200 + bar_h; ++i) sh("sleep 0.1");
  ASSERT_EQ(g.height, 200 + bar_h);
  ASSERT_EQ(g.width, 320);
  const Rect screen{0, 0, 800, 600};
  auto session = [&] { return MenuSession::bar(bar, {g.x, g.y, g.x + g.width, g.y + bar_h}, screen, *font); };
  const std::vector<Rect> entries = session().bar_entries();
  auto entry_centre = [&](size_t i) {
    return at((entries[i].left + entries[i].right) / 2, (entries[i].top + entries[i].bottom) / 2);
  };

  // A click on "ファイル" drops its panel; a click on "開く" chooses it.
  MenuSession s = session();
  s.press((entries[0].left + entries[0].right) / 2, g.y + bar_h / 2);
  ASSERT_EQ(s.panels().size(), 1u);
  const MenuSession::Panel file = s.panels()[0];
  sh("xdotool mousemove " + entry_centre(0) + " click 1");
  ASSERT_TRUE(panel_shown(file)) << "no pull-down at " << at(file.x, file.y) << "; the windows:\n" << windows();
  const auto open = centre(file, 0);
  sh("xdotool mousemove " + at(open.first, open.second) + " click 1");
  EXPECT_EQ(wait_clipboard("menu"), "menu 101");

  // Through "その他" to the cascade's second item.
  test::clear_clipboard();
  const auto more = centre(file, 2);
  s.pointer_move(more.first, more.second);
  ASSERT_EQ(s.panels().size(), 2u);
  const MenuSession::Panel cascade = s.panels()[1];
  sh("xdotool mousemove " + entry_centre(0) + " click 1");
  ASSERT_TRUE(panel_shown(file));
  sh("xdotool mousemove " + at(more.first, more.second));
  ASSERT_TRUE(panel_shown(cascade)) << "no cascade at " << at(cascade.x, cascade.y) << "; the windows:\n" << windows();
  const auto info = centre(cascade, 1);
  // Along the "その他" row into the cascade, then down to "情報".
  sh("xdotool mousemove " + at(cascade.x + 10, more.second) + " mousemove " + at(info.first, info.second) +
     " click 1");
  EXPECT_EQ(wait_clipboard("menu"), "menu 202");

  // A bar entry with no pull-down is chosen at once.
  test::clear_clipboard();
  sh("xdotool mousemove " + entry_centre(1) + " click 1");
  EXPECT_EQ(wait_clipboard("menu"), "menu 7");
}

// Polls screenshots of the root window until the pixel at (x, y) has the
// colour `want` (~10 s); the last colour seen.
std::string wait_pixel(const std::string& shot, int x, int y, const std::string& want) {
  std::string now;
  for (int i = 0; i < 50; ++i) {
    sh("import -window root " + shot);
    now = pixel(shot, x, y);
    if (now == want) break;
    sh("sleep 0.2");
  }
  return now;
}

TEST_F(RealMenus, InFullScreenTheBarAppearsAtTheTopEdgeAndWorksThere) {
  const std::string id = start(std::string(R"(*SYSTEM_START
MENU[ID="bar/" NAME="bar" Z=1]
MENU[ID="bar/file/" NAME="ファイル" Z=1]
MENU[ID="bar/file/open" NAME="開く" Z=1 CODE=101]
MENU[ID="bar/help" NAME="ヘルプ" Z=2 CODE=7]
WINDOW[NO=0 MENUID="bar/"]
WINDOW[NO=0 FULLSCREEN=1]
)") + kReportMenus);
  ASSERT_FALSE(id.empty());
  Geometry g;
  for (int i = 0; i < 100 && (g = geometry(id)).width != 800; ++i) sh("sleep 0.1");
  ASSERT_EQ(g.width, 800);
  ASSERT_EQ(g.height, 600);
  const MenuList bar = {item("ファイル", 0, {item("開く", 101)}), item("ヘルプ", 7)};
  const int bar_h = menu_metrics(*font).bar_height;
  MenuSession s = MenuSession::bar(bar, {0, 0, 800, bar_h}, {0, 0, 800, 600}, *font);
  const Rect e0 = s.bar_entries()[0];
  const std::string shot = (dir.path() / "full.png").string();
  // The 320x200 picture is scaled to 800x500 between black bands: the
  // bar's strip lies over the upper band, where nothing else is drawn.
  const int px = 790, py = bar_h / 2;
  sh("xdotool mousemove 400 300");
  EXPECT_EQ(wait_pixel(shot, px, py, "#000000"), "#000000") << "the bar shows without the pointer at the top";
  sh("xdotool mousemove 400 0");
  EXPECT_EQ(wait_pixel(shot, px, py, "#F0F0F0"), "#F0F0F0") << "the bar does not show at the top edge";

  s.press((e0.left + e0.right) / 2, bar_h / 2);
  ASSERT_EQ(s.panels().size(), 1u);
  const MenuSession::Panel file = s.panels()[0];
  sh("xdotool mousemove " + at((e0.left + e0.right) / 2, bar_h / 2) + " click 1");
  ASSERT_TRUE(panel_shown(file)) << "no pull-down at " << at(file.x, file.y) << "; the windows:\n" << windows();
  const auto open = centre(file, 0);
  sh("xdotool mousemove " + at(open.first, open.second) + " click 1");
  EXPECT_EQ(wait_clipboard("menu"), "menu 101");

  // Away from the strip the bar goes again.
  sh("xdotool mousemove 400 300");
  EXPECT_EQ(wait_pixel(shot, px, py, "#000000"), "#000000") << "the bar stays after the pointer left it";
}

TEST_F(RealMenus, AContextPopUpOpensAtThePointerAndAClickOutsideDismissesIt) {
  const std::string id = start(R"(G_INT shown = 0
*SYSTEM_START
MENU[ID="ctx/" NAME="ctx" Z=1]
MENU[ID="ctx/a" NAME="進む" Z=1 CODE=31]
MENU[ID="ctx/b" NAME="戻る" Z=2 CODE=32]
LOOP[SET=-1]
  IF KEY2_RBUTTON > 0 && shown == 0
    shown = 1
    SYS_MENU = 99
    MENUACT[ID="ctx/" CONTEXT=1]
    WAIT[FRAME=1]
    CLIPACT[TEXT=1 SET="ctx " + str(SYS_MENU)]
  IFEND
  WAIT[FRAME=1]
LOOPEND
)");
  ASSERT_FALSE(id.empty());
  Geometry g;
  for (int i = 0; i < 100 && (g = geometry(id)).width != 320; ++i) sh("sleep 0.1");
  const int px = g.x + 120, py = g.y + 60;
  const MenuList items = {item("進む", 31), item("戻る", 32)};
  const MenuSession s = MenuSession::popup(items, px, py, {0, 0, 800, 600}, *font);
  const MenuSession::Panel panel = s.panels()[0];
  EXPECT_EQ(panel.x, px);
  EXPECT_EQ(panel.y, py);

  const std::string before = (dir.path() / "before.png").string(), after = (dir.path() / "after.png").string();
  // The title reads the mouse while its window is active.
  sh("xdotool windowactivate --sync " + id + " >/dev/null 2>&1; xdotool mousemove " + at(px, py) +
     " && import -window root " + before);
  sh("xdotool click 3");
  ASSERT_TRUE(panel_shown(panel)) << "no pop-up at the pointer " << at(px, py) << "; the windows:\n" << windows();
  // The panel is drawn once its window is mapped: wait for its face to
  // replace the canvas under it.
  // A point in the check-mark gutter of an unchecked item: the panel's face.
  const int sx = panel.x + 6, sy = panel.y + panel.layout.height / 2;
  std::string under, now;
  for (int i = 0; i < 50; ++i) {
    sh("import -window root " + after);
    under = pixel(before, sx, sy);
    now = pixel(after, sx, sy);
    if (!now.empty() && now != under) break;
    sh("sleep 0.2");
  }
  EXPECT_FALSE(under.empty());
  EXPECT_NE(now, under) << "the pop-up did not cover the canvas near the pointer";
  EXPECT_EQ(now, "#F0F0F0");  // the panel's face
  // Far from the pointer, the canvas is as it was.
  EXPECT_EQ(pixel(after, g.x + 300, g.y + 190), pixel(before, g.x + 300, g.y + 190));

  sh("xdotool mousemove " + at(g.x + 300, g.y + 190) + " click 1");
  EXPECT_EQ(wait_clipboard("ctx"), "ctx 0");
}

TEST_F(RealMenus, TextTypedIntoTheInputDialogArrivesInShiftJis) {
  const std::string id = start(R"(G_INT ok = 0
G_STR typed
*SYSTEM_START
WAIT[FRAME=5]
DIALOG[INPUT=1 CAPTION="nivalo name" STR="お名前" LET=ok LETSTR=typed]
IF typed == "日本"
  CLIPACT[TEXT=1 SET="typed same " + str(ok)]
ELSE
  CLIPACT[TEXT=1 SET="typed other " + typed]
IFEND
LOOP[SET=-1]
  WAIT[FRAME=1]
LOOPEND
)");
  ASSERT_FALSE(id.empty());
  const std::string box = test::window_id("nivalo name");
  ASSERT_FALSE(box.empty()) << slurp(dir.path() / "window-err.txt");
  // A character the keyboard map lacks is typed through a key mapped for
  // it a moment only: type those slowly, so the window reads the key while
  // the mapping holds.
  sh("xdotool windowactivate --sync " + box + " >/dev/null 2>&1; export LC_ALL=C.UTF-8; "
     "for i in $(seq 50); do xdotool getwindowfocus getwindowname | grep -q 'nivalo name' && break; sleep 0.1; done; "
     "xdotool type --delay 400 '日本' && sleep 0.5 && xdotool key Return");
  EXPECT_EQ(wait_clipboard("typed"), "typed same 1");
}

}  // namespace
}  // namespace nv::platform
