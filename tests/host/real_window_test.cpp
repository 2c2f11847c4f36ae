// The nivalo executable in a real window under a virtual X server: the
// frame it shows on the screen is, pixel for pixel, the frame a headless
// run of the same title ends with; in full screen the same frame is scaled
// and centred between black bars.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "graphics/image.h"
#include "graphics/png_encode.h"
#include "tests/platform/sdl/x_screen.h"
#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"

namespace nv {
namespace {

using test::slurp;

constexpr const char* kCaption = "nivalo real window";
constexpr int kWidth = 200, kHeight = 100;  // scales by exactly 4 to 800 x 400 on 800 x 600

// Pixels as 0xRRGGBB (alpha dropped), rows top-down.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;
  uint32_t at(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};

void write_png(const test::TempDir& dir, const std::string& name, int w, int h, uint32_t bgra) {
  std::vector<uint32_t> px(size_t(w) * size_t(h), bgra);
  std::vector<uint8_t> png = gfx::encode_png(px.data(), w, h, true);
  dir.write(name, std::string(png.begin(), png.end()));
}

// A window showing the set "view/" (160 x 80 at 20, 10 in the client
// area) with a red ground, a blue box at 100, 40 and a half-transparent
// white box at 10, 50; the rest of the client area is black.
std::string title_script(bool full_screen) {
  std::string s = R"(*SYSTEM_START
CG[ID="view/" SX=160 SY=80 Z=1 X=20 Y=10]
CG[ID="view/ground" FILE="red.png" Z=1]
CG[ID="view/box" FILE="blue.png" Z=2 X=100 Y=40]
CG[ID="view/glass" FILE="white.png" Z=3 X=10 Y=50 A=128]
WINDOW[NO=0 CGID="view/"]
)";
  if (full_screen) s += "WINDOW[NO=0 FULLSCREEN=1]\n";
  s += "LOOP[SET=-1]\n  WAIT[FRAME=1]\nLOOPEND\n";
  return s;
}

void make_title(const test::TempDir& dir, bool full_screen) {
  dir.write("title.cfg", std::string("caption = ") + kCaption + "\nwidth = " + std::to_string(kWidth) +
                             "\nheight = " + std::to_string(kHeight) + "\nshown = 1\nframe = 1\n");
  dir.write("main.nvs", title_script(full_screen));
  write_png(dir, "red.png", 160, 80, 0xFFFF0000u);
  write_png(dir, "blue.png", 40, 20, 0xFF0000FFu);
  write_png(dir, "white.png", 30, 20, 0xFFFFFFFFu);
  std::string cmd = std::string(VIZUD_PATH) + " --quiet " + dir.str() + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << "VIZud failed on the test title";
}

Picture screenshot() {
  Picture pic;
  pic.rgb = platform::test::screenshot_pixels(pic.width, pic.height);
  return pic;
}

std::optional<Picture> read_png(const std::filesystem::path& p) {
  std::string bytes = slurp(p);
  gfx::DecodedImage img;
  if (bytes.empty() ||
      gfx::decode_png({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, img) != 0)
    return std::nullopt;
  Picture pic{img.width, img.height, {}};
  for (uint32_t px : img.pixels) pic.rgb.push_back(px & 0xFFFFFFu);
  return pic;
}

// The first differences of `shot` from `want` with want's (0, 0) at
// (ox, oy) and each of its pixels `scale` x `scale` large (tested at the
// centre of each block); empty when there are none.
std::string differences(const Picture& shot, const Picture& want, int ox, int oy, int scale) {
  std::string diff;
  int count = 0;
  for (int y = 0; y < want.height; ++y)
    for (int x = 0; x < want.width; ++x) {
      const int sx = ox + x * scale + scale / 2, sy = oy + y * scale + scale / 2;
      const bool inside = sx >= 0 && sy >= 0 && sx < shot.width && sy < shot.height;
      const uint32_t got = inside ? shot.at(sx, sy) : 0xFFFFFFFFu;
      if (got == want.at(x, y)) continue;
      if (++count <= 5) {
        char line[120];
        std::snprintf(line, sizeof line, "canvas %d,%d: screen %06X, expected %06X\n", x, y, unsigned(got),
                      unsigned(want.at(x, y)));
        diff += line;
      }
    }
  if (count > 5) diff += "... " + std::to_string(count) + " pixels differ\n";
  return diff;
}

// The whole screen row band [top, bottom) is black.
bool band_is_black(const Picture& shot, int top, int bottom) {
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < shot.width; ++x)
      if (shot.at(x, y) != 0) return false;
  return true;
}

// The headless run's last frame of the title.
Picture headless_frame(const test::TempDir& dir) {
  auto png = dir.path() / "headless.png";
  std::string cmd = std::string(NIVALO_PATH) + " --headless --frames 20 --snapshot " + png.string() + " " +
                    dir.str() + " >/dev/null 2>" + (dir.path() / "headless-err.txt").string();
  EXPECT_EQ(std::system(cmd.c_str()), 0) << slurp(dir.path() / "headless-err.txt");
  std::optional<Picture> pic = read_png(png);
  EXPECT_TRUE(pic) << "no headless snapshot";
  return pic.value_or(Picture{});
}

// The running nivalo process of one test; killed if it outlives the test.
struct Running {
  pid_t pid = -1;
  std::filesystem::path err;
  Running(const test::TempDir& dir, int frames) : err(dir.path() / "window-err.txt") {
    pid = fork();
    if (pid == 0) {
      setpgid(0, 0);
      if (!std::freopen(err.c_str(), "w", stderr)) _exit(126);
      std::string n = std::to_string(frames);
      execl(NIVALO_PATH, NIVALO_PATH, "--frames", n.c_str(), dir.str().c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  int status = -1;
  bool running() {
    int st = 0;
    if (pid > 0 && waitpid(pid, &st, WNOHANG) == pid) {
      pid = -1;
      status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }
    return pid > 0;
  }
  // The exit status once it ended by itself within `seconds`, else -1.
  int wait_exit(int seconds) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (running() && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return running() ? -1 : status;
  }
  ~Running() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
};

// Screenshots until `check` (empty text: matches) holds, the process
// ends or ~15 s pass; returns the last complaint.
template <typename Check>
std::string until_screen(Running& run, Check check) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  std::string why = "nothing was checked";
  while (run.running() && std::chrono::steady_clock::now() < until) {
    std::string now = check();
    if (now.empty()) return now;
    why = now;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return (run.running() ? "still not, after 15 s: " : "nivalo ended first; the last screen: ") + why;
}

TEST(RealWindow, TheScreenShowsTheHeadlessFrameInTheClientArea) {
  test::TempDir dir;
  make_title(dir, false);
  Picture want = headless_frame(dir);
  ASSERT_EQ(want.width, kWidth);
  ASSERT_EQ(want.height, kHeight);
  // The expected picture where it is plain: black around the set, the set's
  // red ground and blue box moved by the set's 20, 10.
  EXPECT_EQ(want.at(5, 5), 0x000000u);
  EXPECT_EQ(want.at(19, 10), 0x000000u);
  EXPECT_EQ(want.at(20, 10), 0xFF0000u);
  EXPECT_EQ(want.at(179, 89), 0xFF0000u);
  EXPECT_EQ(want.at(180, 89), 0x000000u);
  EXPECT_EQ(want.at(120, 50), 0x0000FFu);
  EXPECT_EQ(want.at(159, 69), 0x0000FFu);
  EXPECT_EQ(want.at(160, 70), 0xFF0000u);
  const uint32_t glass = want.at(35, 65);  // white at A 128 over red
  EXPECT_EQ(glass & 0xFF0000u, 0xFF0000u);
  EXPECT_GT(glass & 0xFFu, 0x70u);
  EXPECT_LT(glass & 0xFFu, 0x90u);

  Running run(dir, 300);  // five seconds at 60 frames a second
  std::string why = until_screen(run, [&]() -> std::string {
    auto origin = platform::test::client_origin(kCaption);
    if (!origin) return "no window named \"" + std::string(kCaption) + "\"";
    Picture shot = screenshot();
    if (shot.rgb.empty()) return "no screenshot (ImageMagick's import)";
    return differences(shot, want, origin->first, origin->second, 1);
  });
  EXPECT_EQ(why, "");
  EXPECT_EQ(run.wait_exit(20), 0) << slurp(run.err);
  EXPECT_EQ(slurp(run.err).find("headless"), std::string::npos) << slurp(run.err);
}

TEST(RealWindow, FullScreenScalesTheFrameBetweenBlackBars) {
  test::TempDir dir;
  make_title(dir, true);
  Picture want = headless_frame(dir);
  ASSERT_EQ(want.width, kWidth);
  ASSERT_EQ(want.height, kHeight);

  Running run(dir, 300);
  std::string why = until_screen(run, [&]() -> std::string {
    Picture shot = screenshot();
    if (shot.rgb.empty()) return "no screenshot (ImageMagick's import)";
    if (shot.width != 800 || shot.height != 600) return "the screen is not 800 x 600";
    // 200 x 100 scaled by 4 to 800 x 400, rows 100 to 499.
    std::string diff = differences(shot, want, 0, 100, 4);
    if (!diff.empty()) return diff;
    if (!band_is_black(shot, 0, 100)) return "the bar above is not black";
    if (!band_is_black(shot, 500, 600)) return "the bar below is not black";
    // The set's corner lands at 4 x (20, 10) on the screen.
    if (shot.at(79, 139) != 0x000000u || shot.at(80, 140) != 0xFF0000u) return "the set's corner is not at 80, 140";
    return "";
  });
  EXPECT_EQ(why, "");
  EXPECT_EQ(run.wait_exit(20), 0) << slurp(run.err);
}

}  // namespace
}  // namespace nv
