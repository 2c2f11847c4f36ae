// Helpers for tests that drive real windows under a virtual X server:
// screenshots of the whole screen and an event sink that ignores events.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/display.h"

namespace nv::platform::test {

struct NullSink : WindowEvents {
  void on_close_box(int) override {}
  void on_minimize_box(int) override {}
  void on_maximize_box(int) override {}
  void on_activate(int, bool) override {}
  void on_exposed(int) override {}
  void on_key(int, bool) override {}
  void on_mouse_move(int, int, int) override {}
  void on_mouse_button(int, MouseButton, bool, int, int) override {}
  void on_wheel(int, int) override {}
  void on_drop_files(int, const std::vector<std::string>&) override {}
  void on_quit() override {}
};

using Rgb = std::array<int, 3>;

// The screen as RGB bytes, taken by ImageMagick from the X server.
inline std::vector<uint8_t> screenshot(int& w, int& h) {
  std::vector<uint8_t> rgb;
  FILE* p = popen("import -window root -depth 8 ppm:- 2>/dev/null", "r");
  if (!p) return rgb;
  if (std::fscanf(p, "P6 %d %d 255", &w, &h) == 2) {
    std::fgetc(p);
    rgb.resize(size_t(w) * size_t(h) * 3);
    size_t got = std::fread(rgb.data(), 1, rgb.size(), p);
    rgb.resize(got);
  }
  pclose(p);
  return rgb;
}

// The screen as 0xRRGGBB pixels, rows top-down; empty without a screenshot.
inline std::vector<uint32_t> screenshot_pixels(int& w, int& h) {
  std::vector<uint8_t> rgb = screenshot(w, h);
  std::vector<uint32_t> px;
  if (w <= 0 || h <= 0 || rgb.size() != size_t(w) * size_t(h) * 3) return px;
  px.resize(size_t(w) * size_t(h));
  for (size_t i = 0; i < px.size(); ++i)
    px[i] = uint32_t(rgb[i * 3]) << 16 | uint32_t(rgb[i * 3 + 1]) << 8 | rgb[i * 3 + 2];
  return px;
}

// The absolute top-left of the client area of the window with this
// caption (asked of xwininfo), when the X server has it mapped.
inline std::optional<std::pair<int, int>> client_origin(const std::string& caption) {
  std::string info;
  if (FILE* p = popen(("xwininfo -name '" + caption + "' 2>/dev/null").c_str(), "r")) {
    char buf[4096];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) info.append(buf, n);
    pclose(p);
  }
  std::smatch x, y;
  if (info.find("IsViewable") == std::string::npos ||
      !std::regex_search(info, x, std::regex("Absolute upper-left X: +(-?\\d+)")) ||
      !std::regex_search(info, y, std::regex("Absolute upper-left Y: +(-?\\d+)")))
    return std::nullopt;
  return std::make_pair(std::stoi(x[1]), std::stoi(y[1]));
}

inline Rgb at(const std::vector<uint8_t>& rgb, int w, int x, int y) {
  size_t i = (size_t(y) * size_t(w) + size_t(x)) * 3;
  return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

inline void settle(Display& d, int rounds = 20) {
  NullSink sink;
  for (int i = 0; i < rounds; ++i) {
    d.pump_events(sink);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

struct ScreenPoint {
  int x, y;
  Rgb rgb;
};

// Takes screenshots (pumping events between them) until every point shows
// its colour or about three seconds have passed; returns the points that
// differ in the last screenshot, as text, empty when all match.
inline std::string wait_for_screen(Display& d, const std::vector<ScreenPoint>& points) {
  std::string diff;
  for (int attempt = 0; attempt < 15; ++attempt) {
    settle(d, 5);
    int w = 0, h = 0;
    auto shot = screenshot(w, h);
    if (shot.size() != size_t(w) * size_t(h) * 3) {
      diff = "no screenshot (is ImageMagick installed?)";
      continue;
    }
    diff.clear();
    for (const ScreenPoint& p : points) {
      Rgb got = at(shot, w, p.x, p.y);
      if (got != p.rgb)
        diff += "at " + std::to_string(p.x) + "," + std::to_string(p.y) + ": " + std::to_string(got[0]) + " " +
                std::to_string(got[1]) + " " + std::to_string(got[2]) + " instead of " + std::to_string(p.rgb[0]) +
                " " + std::to_string(p.rgb[1]) + " " + std::to_string(p.rgb[2]) + "\n";
    }
    if (diff.empty()) return diff;
  }
  return diff;
}

}  // namespace nv::platform::test
