// Composed frames of whole titles, rendered headless by the nivalo program
// into PNG snapshots, against pictures ImageMagick makes from the same
// picture files (tests/graphics/im_reference.h). The demo title is built
// the way scripts/demo.sh builds it; each scene is caught at a frame the
// script's timeline fixes: one loop step per frame from the first frame.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <string>

#include "tests/graphics/im_reference.h"
#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"

namespace nv::test {
namespace {

namespace fs = std::filesystem;

// Runs a shell command; "" on success, else its standard error.
std::string sh(const std::string& cmd, const fs::path& err) {
  int rc = std::system((cmd + " >/dev/null 2>" + quoted(err)).c_str());
  if (WIFEXITED(rc) && WEXITSTATUS(rc) == 0) return "";
  return "'" + cmd + "' failed: " + slurp(err);
}

// Compiles the title in `title` and packs the pictures of `images` into it.
std::string build_title(const fs::path& title, const fs::path& images, const fs::path& err) {
  std::string e = sh(std::string(VIZUD_PATH) + " --quiet " + quoted(title), err);
  if (e.empty()) {
    fs::create_directories(title / "pac");
    e = sh(std::string(NVPACK_PATH) + " -q " + quoted(images) + " -o " + quoted(title / "pac" / "pictures.npf"), err);
  }
  return e;
}

// The demo title built in `title` as scripts/demo.sh builds it, its
// pictures made in `images`.
std::string build_demo(const fs::path& title, const fs::path& images, const fs::path& err) {
  const fs::path src = fs::path(SOURCE_DIR) / "examples" / "demo";
  fs::create_directories(title);
  fs::copy_file(src / "title.cfg", title / "title.cfg");
  fs::copy_file(src / "main.nvs", title / "main.nvs");
  std::string e = sh(quoted(src / "make-images.sh") + " " + quoted(images), err);
  return e.empty() ? build_title(title, images, err) : e;
}

// The main window's picture after `frames` frame steps.
RgbPicture frame_after(const fs::path& title, int frames, const fs::path& out, std::string& problem) {
  problem = sh(std::string(NIVALO_PATH) + " --headless --frames " + std::to_string(frames) + " --snapshot " +
                   quoted(out) + " " + quoted(title),
               out.string() + ".err");
  return problem.empty() ? read_rgb(out) : RgbPicture{};
}

#define EXPECT_SAME_PICTURE(got, want) EXPECT_EQ(compare_rgb(got, want), "")

TEST(Snapshots, DemoScenesMatchImageMagickComposition) {
  TempDir dir;
  const fs::path title = dir.path() / "title", pics = dir.path() / "images";
  ASSERT_EQ(build_demo(title, pics, dir.path() / "err.txt"), "");
  auto pic = [&](const char* name) { return pics / (std::string(name) + ".png"); };

  // The first scene's layers, bottom to top, with the drifting cloud at x.
  auto first_scene = [&](const char* work, int cloud_x) {
    ImReference ref(dir.path() / work, pic("sky"));
    ref.add(pic("sun"), 420, 40);
    ref.alpha(pic("cloud"), cloud_x, 90);
    ref.alpha(pic("cloud"), 300, 150, 160);  // the second cloud, at opacity 160
    ref.alpha(pic("hill"), 0, 330);
    return ref;
  };
  std::string problem;

  // Frame 60: the cloud has moved 60 steps of 4 from -200.
  {
    ImReference ref = first_scene("scene1", 40);
    ASSERT_TRUE(ref.ok());
    RgbPicture got = frame_after(title, 60, dir.path() / "frame60.png", problem);
    ASSERT_EQ(problem, "");
    EXPECT_SAME_PICTURE(got, ref.picture()) << "scene 1 at frame 60";
  }
  // Frames 121..152 fade the card in by 8 a frame; the cloud stopped at
  // 280 after 120 steps. Frame 136: opacity 128.
  ImReference second = first_scene("scene2", 280);
  const fs::path behind_card = dir.path() / "behind-card.png";
  fs::copy_file(second.canvas(), behind_card);
  second.faded(pic("card"), 170, 140, 128);
  ASSERT_TRUE(second.ok());
  RgbPicture got = frame_after(title, 136, dir.path() / "frame136.png", problem);
  ASSERT_EQ(problem, "");
  EXPECT_SAME_PICTURE(got, second.picture()) << "the card half faded in, frame 136";

  // The card fully in, during the 800 ms pause that follows frame 152.
  ImReference third(dir.path() / "scene3", behind_card);
  third.copy(pic("card"), 170, 140);
  ASSERT_TRUE(third.ok());
  got = frame_after(title, 180, dir.path() / "frame180.png", problem);
  ASSERT_EQ(problem, "");
  EXPECT_SAME_PICTURE(got, third.picture()) << "the card fully in, frame 180";
}

// Rule transitions: a ramp (TA 32) moving with T, and a hard threshold
// (TA 256) on a smaller layer placed inside the canvas.
TEST(Snapshots, RuleTransitionsMatchImageMagickComposition) {
  TempDir dir;
  const fs::path title = dir.path() / "title", pics = dir.path() / "images", err = dir.path() / "err.txt";
  fs::create_directories(pics);
  auto pic = [&](const char* name) { return pics / (std::string(name) + ".png"); };
  const std::string make[] = {
      "-size 160x120 gradient:'#ffcc66-#3366cc' -depth 8 " + quoted(pic("day")),
      "-size 160x120 gradient:'#04061a-#2b2f7a' -fill '#fff8d0' -draw 'circle 120,30 120,16' -depth 8 " +
          quoted(pic("night")),
      "-size 160x120 radial-gradient:black-white -colorspace gray -depth 8 " + quoted(pic("rule")),
      "-size 60x80 gradient:black-white -rotate 90 -colorspace gray -depth 8 " + quoted(pic("edge")),
      "-size 80x60 xc:'#802040' -fill '#40e0a0' -draw 'circle 40,30 40,10' -depth 8 " + quoted(pic("gate")),
  };
  for (const std::string& m : make) ASSERT_EQ(sh("convert " + m, err), "");
  fs::create_directories(title);
  std::ofstream(title / "title.cfg") << "width = 160\nheight = 120\n";
  std::ofstream(title / "main.nvs") << R"(*SYSTEM_START
CG[ID="day" FILE="day" Z=1]
CG[ID="rule" FILE="rule" Z=2 E=0]
CG[ID="edge" FILE="edge" Z=2 E=0]
CG[ID="night" FILE="night" Z=3 T=0 TA=32 TID="rule"]
CG[ID="gate" FILE="gate" Z=4 X=50 Y=40 T=100 TA=256 TID="edge"]
LOOP 64
  CG[ID="night" T+=4]
  WAIT[FRAME=1]
LOOPEND
WAIT[FRAME=1000]
)";
  ASSERT_EQ(build_title(title, pics, err), "");

  for (int frames : {16, 32, 56}) {
    SCOPED_TRACE("frame " + std::to_string(frames));
    ImReference ref(dir.path() / ("ref" + std::to_string(frames)), pic("day"));
    ref.rule(pic("night"), pic("rule"), 0, 0, 4 * frames, 32);
    ref.rule(pic("gate"), pic("edge"), 50, 40, 100, 256);
    ASSERT_TRUE(ref.ok());
    std::string problem;
    RgbPicture got = frame_after(title, frames, dir.path() / ("frame" + std::to_string(frames) + ".png"), problem);
    ASSERT_EQ(problem, "");
    EXPECT_SAME_PICTURE(got, ref.picture());
  }
}

// The demo's message window from the first night on: the first lines of
// text are drawn inside the panel's text layer (568 x 96 at 36, 357), the
// same in two runs; the sky above the panel is untouched by them.
TEST(Snapshots, DemoMessageWindowShowsItsTextTheSameEveryRun) {
  TempDir dir;
  const fs::path title = dir.path() / "title", pics = dir.path() / "images";
  ASSERT_EQ(build_demo(title, pics, dir.path() / "err.txt"), "");
  std::string problem;
  RgbPicture a = frame_after(title, 330, dir.path() / "a.png", problem);
  ASSERT_EQ(problem, "");
  RgbPicture b = frame_after(title, 330, dir.path() / "b.png", problem);
  ASSERT_EQ(problem, "");
  EXPECT_SAME_PICTURE(a, b);
  ASSERT_EQ(a.width, 640);
  // Text pixels are near white (COLOR 0xFFFFFF to COLOR2 0xC0D8FF); the
  // panel and the night sky are dark.
  auto bright_in_rows = [&](int top, int bottom, int left, int right) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        const uint8_t* p = &a.rgb[(size_t(y) * size_t(a.width) + size_t(x)) * 3];
        n += p[0] > 0xA0 && p[1] > 0xA0 && p[2] > 0xA0;
      }
    return n;
  };
  EXPECT_GT(bright_in_rows(357, 377, 36, 604), 300) << "the first line";
  EXPECT_GT(bright_in_rows(377, 397, 36, 604), 300) << "the second line";
  EXPECT_EQ(bright_in_rows(397, 453, 36, 604), 0) << "nothing below the two lines";
  EXPECT_EQ(bright_in_rows(357, 453, 0, 20), 0) << "nothing left of the panel";
}

}  // namespace
}  // namespace nv::test
