#include "platform/menu_layout.h"

#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "tests/support/box_font.h"

namespace nv::platform {
namespace {

MenuItem item(const char* utf8, uint32_t id) {
  MenuItem m;
  m.text = utf8_to_sjis(utf8);
  m.id = id;
  return m;
}

MenuItem separator() {
  MenuItem m;
  m.separator = true;
  return m;
}

MenuItem popup(const char* utf8, MenuList children) {
  MenuItem m = item(utf8, 0);
  m.popup = true;
  m.submenu = std::move(children);
  return m;
}

// A menu: 0 "開く" (10), 1 separator, 2 "Greyed" (11, greyed), 3 "Sub" -> {"A" 20, "B" 21}, 4 "Checked" (12)
MenuList sample() {
  MenuList l;
  l.push_back(item("開く", 10));
  l.push_back(separator());
  MenuItem g = item("Greyed", 11);
  g.greyed = true;
  l.push_back(g);
  l.push_back(popup("Sub", {item("A", 20), item("B", 21)}));
  MenuItem c = item("Checked", 12);
  c.checked = true;
  l.push_back(c);
  return l;
}

// The centre of item `i` of panel `p`.
std::pair<int, int> centre(const MenuSession& s, size_t p, size_t i) {
  const auto& pn = s.panels()[p];
  const Rect r = pn.layout.items[i];
  return {pn.x + (r.left + r.right) / 2, pn.y + (r.top + r.bottom) / 2};
}

const Rect kScreen{0, 0, 1000, 800};

TEST(MenuLayout, PanelItemsStackWithSeparatorsThinner) {
  test::BoxFont font;
  const MenuMetrics m = menu_metrics(font);
  const MenuList l = sample();
  const PanelLayout p = layout_panel(l, font, m);
  ASSERT_EQ(p.items.size(), l.size());
  EXPECT_EQ(p.items[0].height(), m.item_height);
  EXPECT_EQ(p.items[1].height(), m.separator_height);
  EXPECT_LT(m.separator_height, m.item_height);
  for (size_t i = 1; i < p.items.size(); ++i) EXPECT_EQ(p.items[i].top, p.items[i - 1].bottom);
  EXPECT_EQ(p.height, p.items.back().bottom + m.border);
  // Wide enough for the widest caption ("Checked": 7 ASCII boxes) with the
  // check gutter and the cascade arrow.
  EXPECT_GE(p.width, 7 * 6 + m.gutter + m.arrow);
}

TEST(MenuSession, ReleaseOnAnItemChoosesIt) {
  test::BoxFont font;
  const MenuList l = sample();
  MenuSession s = MenuSession::popup(l, 100, 100, kScreen, font);
  ASSERT_EQ(s.panels().size(), 1u);
  EXPECT_EQ(s.panels()[0].x, 100);
  auto [x, y] = centre(s, 0, 4);
  s.pointer_move(x, y);
  EXPECT_EQ(s.panels()[0].highlighted, 4);
  s.release(x, y);
  EXPECT_TRUE(s.finished());
  EXPECT_EQ(s.chosen(), 12u);
}

TEST(MenuSession, GreyedItemsAndSeparatorsAreNotChosen) {
  test::BoxFont font;
  const MenuList l = sample();
  MenuSession s = MenuSession::popup(l, 0, 0, kScreen, font);
  for (size_t i : {1u, 2u}) {
    auto [x, y] = centre(s, 0, i);
    s.press(x, y);
    s.release(x, y);
    EXPECT_FALSE(s.finished()) << i;
  }
  auto [x, y] = centre(s, 0, 1);
  s.pointer_move(x, y);
  EXPECT_EQ(s.panels()[0].highlighted, -1);  // a separator is never highlighted
}

TEST(MenuSession, HoverOpensACascadeWhoseItemIsChosen) {
  test::BoxFont font;
  const MenuList l = sample();
  MenuSession s = MenuSession::popup(l, 50, 50, kScreen, font);
  auto [x, y] = centre(s, 0, 3);
  s.pointer_move(x, y);
  ASSERT_EQ(s.panels().size(), 2u);
  const auto& p0 = s.panels()[0];
  EXPECT_EQ(s.panels()[1].x, p0.x + p0.layout.width);  // to the right of its panel
  EXPECT_EQ(s.panels()[1].y, p0.y + p0.layout.items[3].top - s.metrics().border);
  // Leaving the cascade's item for another closes the cascade again.
  auto [x0, y0] = centre(s, 0, 0);
  s.pointer_move(x0, y0);
  EXPECT_EQ(s.panels().size(), 1u);
  s.pointer_move(x, y);
  auto [cx, cy] = centre(s, 1, 1);
  s.pointer_move(cx, cy);
  EXPECT_EQ(s.panels().size(), 2u);  // the pointer reached the cascade through its item
  s.release(cx, cy);
  EXPECT_EQ(s.chosen(), 21u);
}

TEST(MenuSession, PressOutsideOrEscapeChoosesNothing) {
  test::BoxFont font;
  const MenuList l = sample();
  MenuSession s = MenuSession::popup(l, 10, 10, kScreen, font);
  s.release(5, 5);  // the release that opened a context menu does nothing
  EXPECT_FALSE(s.finished());
  s.press(900, 700);
  EXPECT_TRUE(s.finished());
  EXPECT_EQ(s.chosen(), 0u);
  MenuSession e = MenuSession::popup(l, 10, 10, kScreen, font);
  e.escape();
  EXPECT_TRUE(e.finished());
  EXPECT_EQ(e.chosen(), 0u);
}

TEST(MenuSession, PanelsStayOnTheScreen) {
  test::BoxFont font;
  const MenuList l = sample();
  MenuSession s = MenuSession::popup(l, 990, 790, kScreen, font);
  const auto& p = s.panels()[0];
  EXPECT_LE(p.rect().right, kScreen.right);
  EXPECT_LE(p.rect().bottom, kScreen.bottom);
  EXPECT_EQ(p.rect().bottom, 790);  // flipped above the point
  auto [x, y] = centre(s, 0, 3);
  s.pointer_move(x, y);
  ASSERT_EQ(s.panels().size(), 2u);
  EXPECT_LE(s.panels()[1].rect().right, s.panels()[0].x);  // the cascade opens to the left
}

TEST(MenuSession, BarDropsPanelsAndChoosesPlainEntries) {
  test::BoxFont font;
  MenuList bar;
  bar.push_back(popup("File", {item("Open", 1), item("Quit", 2)}));
  bar.push_back(popup("Edit", {item("Copy", 3)}));
  bar.push_back(item("Help", 4));
  const Rect strip{200, 100, 840, 100 + menu_metrics(font).bar_height};
  MenuSession s = MenuSession::bar(bar, strip, kScreen, font);
  const auto& e = s.bar_entries();
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[0].left, 200);
  EXPECT_EQ(e[1].left, e[0].right);
  // Press on File drops its panel below the entry; moving to Edit moves it.
  s.press(e[0].left + 3, strip.top + 3);
  ASSERT_EQ(s.panels().size(), 1u);
  EXPECT_EQ(s.panels()[0].y, strip.bottom);
  s.release(e[0].left + 3, strip.top + 3);
  s.pointer_move(e[1].left + 3, strip.top + 3);
  EXPECT_EQ(s.bar_open(), 1);
  ASSERT_EQ(s.panels().size(), 1u);
  EXPECT_EQ(s.panels()[0].x, e[1].left);
  auto [x, y] = centre(s, 0, 0);
  s.pointer_move(x, y);
  s.release(x, y);
  EXPECT_EQ(s.chosen(), 3u);
  // A plain entry is chosen by its own click.
  MenuSession h = MenuSession::bar(bar, strip, kScreen, font);
  h.press(e[2].left + 3, strip.top + 3);
  h.release(e[2].left + 3, strip.top + 3);
  EXPECT_EQ(h.chosen(), 4u);
  // A second press on the dropped entry closes the menu with nothing.
  MenuSession c = MenuSession::bar(bar, strip, kScreen, font);
  c.press(e[0].left + 3, strip.top + 3);
  c.press(e[0].left + 3, strip.top + 3);
  EXPECT_TRUE(c.finished());
  EXPECT_EQ(c.chosen(), 0u);
}

TEST(MenuDrawing, HighlightGreyAndCheckShowInThePicture) {
  test::BoxFont font;
  const MenuMetrics m = menu_metrics(font);
  const MenuList l = sample();
  const PanelLayout p = layout_panel(l, font, m);
  const MenuColors c;
  PixelBuffer plain = draw_panel(l, p, -1, font, m, c);
  PixelBuffer hot = draw_panel(l, p, 0, font, m, c);
  auto count = [](const PixelBuffer& b, const Rect& r, uint32_t col) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += b.at(x, y) == col;
    return n;
  };
  // The highlighted item's background and its text in the highlight colours.
  EXPECT_EQ(count(plain, p.items[0], c.highlight), 0);
  EXPECT_GT(count(hot, p.items[0], c.highlight), p.items[0].width());
  EXPECT_GT(count(hot, p.items[0], c.highlight_text), 0);
  // The greyed item's text is grey, the others black.
  EXPECT_GT(count(plain, p.items[2], c.greyed), 0);
  EXPECT_EQ(count(plain, p.items[2], c.text), 0);
  // The check mark lies in the gutter of the checked item only.
  const Rect gut4{p.items[4].left, p.items[4].top, p.items[4].left + m.gutter, p.items[4].bottom};
  const Rect gut0{p.items[0].left, p.items[0].top, p.items[0].left + m.gutter, p.items[0].bottom};
  EXPECT_GT(count(plain, gut4, c.text), 0);
  EXPECT_EQ(count(plain, gut0, c.text), 0);
  // The separator is a line across its slot.
  const Rect sep = p.items[1];
  EXPECT_GT(count(plain, sep, c.separator), sep.width() / 2);
  // A double-byte caption takes the width of two-column characters: 開く is
  // two 12-pixel boxes.
  EXPECT_EQ(font.text_width(sjis_to_utf8(l[0].text)), 24);
}

}  // namespace
}  // namespace nv::platform
