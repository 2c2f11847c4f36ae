// The tray icon on a real session bus (run under dbus-run-session), with a
// pretend notification area (tests/support/fake_sni_watcher.py) that comes
// after the icon was shown, as a panel started after the title would.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/encoding.h"
#include "platform/tray.h"
#include "tests/support/temp_dir.h"

namespace nv::platform {
namespace {

struct Seen final : TrayEvents {
  int activations = 0, menus = 0;
  int x = 0, y = 0, mx = 0, my = 0;
  void on_tray_activate(int ax, int ay) override {
    ++activations;
    x = ax;
    y = ay;
  }
  void on_tray_context_menu(int ax, int ay) override {
    ++menus;
    mx = ax;
    my = ay;
  }
};

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

// Pumps the tray until `done` holds or a while has passed.
template <typename F>
bool pump_until(Tray& tray, TrayEvents& sink, F done) {
  for (int i = 0; i < 1500; ++i) {
    tray.pump(sink);
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

std::string hex_argb(const std::vector<uint32_t>& bgra) {
  std::string out;
  char buf[9];
  for (uint32_t p : bgra) {
    std::snprintf(buf, sizeof buf, "%08x", p);  // A R G B, most significant first
    out += buf;
  }
  return out;
}

TEST(StatusNotifierTray, RegistersShowsPixelsAndTipAndReportsClicks) {
  const char* watcher = std::getenv("NIVALO_FAKE_WATCHER");
  ASSERT_NE(watcher, nullptr) << "run through ctest (NIVALO_FAKE_WATCHER names the fake watcher)";
  ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr) << "run under dbus-run-session";
  test::TempDir dir;
  const std::string report = (dir.path() / "report.json").string();

  std::unique_ptr<Tray> tray = make_status_notifier_tray("nivalo-test");
  TrayIcon icon;
  for (uint32_t i = 0; i < 256; ++i) icon.pixels.push_back((i % 2 ? 0xFF000000u : 0x40000000u) | (i * 0x010203u));
  icon.tip = utf8_to_sjis("トレイのテスト");
  ASSERT_TRUE(tray->show(icon));
  EXPECT_TRUE(tray->shown());
  EXPECT_FALSE(tray->hosted());  // no notification area on the desktop yet: kept, nothing shown
  Seen seen;
  tray->pump(seen);

  ASSERT_EQ(std::system((std::string("/usr/bin/python3 ") + watcher + " " + report + " &").c_str()), 0);
  ASSERT_TRUE(pump_until(*tray, seen, [&] { return tray->hosted() && seen.menus > 0 && seen.activations > 0; }))
      << read_file(report);
  EXPECT_EQ(seen.x, 3);
  EXPECT_EQ(seen.y, 4);
  EXPECT_EQ(seen.mx, 7);
  EXPECT_EQ(seen.my, 9);
  const std::string r = read_file(report);
  EXPECT_NE(r.find("\"registered\": [\":"), std::string::npos) << r;
  EXPECT_NE(r.find("\"IconPixmap\": [[16, 16, \"" + hex_argb(icon.pixels) + "\"]]"), std::string::npos) << r;
  EXPECT_NE(r.find("\"ToolTip\": \"トレイのテスト\""), std::string::npos) << r;
  EXPECT_NE(r.find("\"Status\": \"Active\""), std::string::npos) << r;
  EXPECT_EQ(r.find("errors"), std::string::npos) << r;

  // A new tip reaches the area.
  icon.tip = utf8_to_sjis("二つ目");
  ASSERT_TRUE(tray->show(icon));
  EXPECT_TRUE(pump_until(*tray, seen, [&] { return read_file(report).find("\"ToolTip\": \"二つ目\"") != std::string::npos; }))
      << read_file(report);

  // Hiding takes the item off the bus.
  tray->hide();
  EXPECT_FALSE(tray->shown());
  EXPECT_TRUE(pump_until(*tray, seen, [&] { return read_file(report).find("\"gone\": true") != std::string::npos; }))
      << read_file(report);
}

}  // namespace
}  // namespace nv::platform
