#include "tests/text/message_title.h"

#include <cstdlib>

#include "graphics/image.h"
#include "graphics/png_encode.h"
#include "tests/support/shell.h"

namespace nv::text::test {

std::string make_message_title(const nv::test::TempDir& dir, const std::string& caption) {
  dir.write("title.cfg", "caption = " + caption + "\nwidth = " + std::to_string(kTitleWidth) +
                             "\nheight = " + std::to_string(kTitleHeight) + "\nshown = 1\nframe = 1\n");
  std::vector<uint32_t> black(size_t(kBoxWidth) * size_t(kBoxHeight), 0xFF000000u);
  std::vector<uint8_t> png = gfx::encode_png(black.data(), kBoxWidth, kBoxHeight, true);
  dir.write("box.png", std::string(png.begin(), png.end()));
  // Page one: a kana line and an English line, then a click wait; page two
  // starts after the click. Left button or RETURN click, CONTROL skips.
  dir.write("main.nvs", R"(*SYSTEM_START
CG[ID="box" FILE="box.png" Z=1 X=10 Y=10]
FONT[SX=20 SY=20 COLOR=0xFFFFFF COLOR2=-1 ANTIALIASING=0]
TEXT[ID="box" OUTPUTMODE=1 WAIT=20 AUTORETURN=1 CLICKBUTTON=1 CLICKBUTTON2=13 SKIPBUTTON=17]
あいうえお
TEXT[AUTOCLICK=1 AUTOPAGE=1]
Page one, in English.
かきくけこ、さしすせそ。
LOOP[SET=-1]
  WAIT[FRAME=1]
LOOPEND
)");
  const std::string cmd = std::string(VIZUD_PATH) + " --quiet " + dir.str() + " >/dev/null 2>" +
                          nv::test::quoted(dir.path() / "vizud-err.txt");
  if (std::system(cmd.c_str()) != 0) return "VIZud failed: " + nv::test::slurp(dir.path() / "vizud-err.txt");
  return "";
}

std::optional<Frame> read_frame(const std::filesystem::path& png) {
  std::string bytes = nv::test::slurp(png);
  gfx::DecodedImage img;
  if (bytes.empty() || gfx::decode_png({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, img) != 0)
    return std::nullopt;
  Frame f{img.width, img.height, {}};
  for (uint32_t px : img.pixels) f.rgb.push_back(px & 0xFFFFFFu);
  return f;
}

std::vector<std::vector<bool>> line_cells(const Frame& frame, int ox, int oy, int line, int cell, int cells) {
  std::vector<std::vector<bool>> out(static_cast<size_t>(cells));
  for (int c = 0; c < cells; ++c)
    for (int y = oy + line * kLine; y < oy + (line + 1) * kLine; ++y)
      for (int x = ox + c * cell; x < ox + (c + 1) * cell; ++x) {
        const bool inside = x >= 0 && y >= 0 && x < frame.width && y < frame.height;
        out[size_t(c)].push_back(inside && frame.at(x, y) != 0);
      }
  return out;
}

int lit_pixels(const std::vector<std::vector<bool>>& cells) {
  int n = 0;
  for (const auto& c : cells)
    for (bool b : c) n += b;
  return n;
}

}  // namespace nv::text::test
