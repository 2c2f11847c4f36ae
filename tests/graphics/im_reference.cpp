#include "tests/graphics/im_reference.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "tests/support/shell.h"

namespace nv::test {

namespace {

bool picture_size(const std::filesystem::path& pic, int& w, int& h) {
  FILE* p = popen(("identify -format '%w %h' " + quoted(pic) + " 2>/dev/null").c_str(), "r");
  if (!p) return false;
  const bool ok = std::fscanf(p, "%d %d", &w, &h) == 2;
  pclose(p);
  return ok && w > 0 && h > 0;
}

// The per-channel byte values every blend expression starts from. A
// transparent source pixel is the loader's grey.
constexpr const char* kBytes =
    "dv=round(u*255); sv=round(v*255); av=round(v.a*255); sv=(av==0)?128:sv; ";

}  // namespace

RgbPicture read_rgb(const std::filesystem::path& file) {
  RgbPicture out;
  FILE* p = popen(("convert " + quoted(file) + " -alpha off -depth 8 ppm:- 2>/dev/null").c_str(), "r");
  if (!p) return out;
  if (std::fscanf(p, "P6 %d %d 255", &out.width, &out.height) == 2 && out.width > 0 && out.height > 0) {
    std::fgetc(p);
    out.rgb.resize(size_t(out.width) * size_t(out.height) * 3);
    out.rgb.resize(std::fread(out.rgb.data(), 1, out.rgb.size(), p));
  }
  pclose(p);
  return out;
}

std::string compare_rgb(const RgbPicture& got, const RgbPicture& want) {
  if (got.width != want.width || got.height != want.height)
    return "size " + std::to_string(got.width) + "x" + std::to_string(got.height) + ", expected " +
           std::to_string(want.width) + "x" + std::to_string(want.height);
  if (got.rgb.size() != want.rgb.size() || got.rgb.size() != size_t(got.width) * size_t(got.height) * 3)
    return "a picture could not be read";
  size_t differing = 0, first = 0;
  for (size_t i = 0; i < got.rgb.size(); i += 3) {
    if (got.rgb[i] == want.rgb[i] && got.rgb[i + 1] == want.rgb[i + 1] && got.rgb[i + 2] == want.rgb[i + 2]) continue;
    if (differing++ == 0) first = i;
  }
  if (differing == 0) return "";
  const size_t px = first / 3;
  auto rgb = [&](const RgbPicture& p) {
    return "(" + std::to_string(p.rgb[first]) + "," + std::to_string(p.rgb[first + 1]) + "," +
           std::to_string(p.rgb[first + 2]) + ")";
  };
  return std::to_string(differing) + " pixels differ; the first at " + std::to_string(px % size_t(got.width)) + "," +
         std::to_string(px / size_t(got.width)) + " is " + rgb(got) + ", expected " + rgb(want);
}

ImReference::ImReference(std::filesystem::path work, const std::filesystem::path& bottom)
    : work_(std::move(work)), canvas_(work_ / "canvas.png") {
  std::filesystem::create_directories(work_);
  run("convert " + quoted(bottom) + " -alpha off -depth 8 PNG24:" + quoted(canvas_));
  ok_ = ok_ && picture_size(canvas_, width_, height_);
}

void ImReference::run(const std::string& cmd) {
  if (ok_ && std::system((cmd + " 2>/dev/null").c_str()) != 0) ok_ = false;
}

void ImReference::composite(const std::filesystem::path& pic, int x, int y, const char* op) {
  const auto offset = [](int v) { return (v < 0 ? "" : "+") + std::to_string(v); };
  run("convert " + quoted(canvas_) + " " + quoted(pic) + " -geometry " + offset(x) + offset(y) + " -compose " + op +
      " -composite -alpha off -depth 8 PNG24:" + quoted(canvas_));
}

void ImReference::copy(const std::filesystem::path& pic, int x, int y) { composite(pic, x, y, "copy"); }

void ImReference::add(const std::filesystem::path& pic, int x, int y) { composite(pic, x, y, "plus"); }

void ImReference::alpha(const std::filesystem::path& pic, int x, int y, int a) {
  if (a >= 256) {
    blend_fx(pic, nullptr, x, y, "(dv+floor((sv-dv)*(av+1)/256))/255");
    return;
  }
  const std::string A = std::to_string(a);
  blend_fx(pic, nullptr, x, y,
           "wv=floor(" + A + "*av/256); (floor(dv*(256-wv)/256)+floor((wv+1)*sv/256))/255");
}

void ImReference::faded(const std::filesystem::path& pic, int x, int y, int a) {
  blend_fx(pic, nullptr, x, y, "(dv+floor((sv-dv)*" + std::to_string(a) + "/256))/255");
}

void ImReference::rule(const std::filesystem::path& pic, const std::filesystem::path& rule_pic, int x, int y, int t,
                       int ta) {
  // The weight of rule value rv: a hard threshold at TA 256, else a ramp
  // T x (TA >> 1) + T + (rv x TA >> 1) - 128 x TA, plus one below 256.
  const std::string T = std::to_string(t), TA = std::to_string(ta);
  std::string weight = ta >= 256 ? "wt=(rv>=256-" + T + ")?256:0; "
                                 : "vv=" + std::to_string(t * (ta >> 1) + t - 128 * ta) + "+floor(rv*" + TA +
                                       "/2); wt=(vv<256)?vv+1:256; ";
  blend_fx(pic, &rule_pic, x, y,
           "rv=round(u[2].b*255); " + weight + "(wt>1)?(dv+floor((sv-dv)*wt/256))/255:dv/255");
}

void ImReference::blend_fx(const std::filesystem::path& pic, const std::filesystem::path* rule_pic, int x, int y,
                           const std::string& expr) {
  int w = 0, h = 0;
  if (!ok_ || !picture_size(pic, w, h)) {
    ok_ = false;
    return;
  }
  // Only the part of the picture inside the canvas is blended.
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, width_), y1 = std::min(y + h, height_);
  if (x1 <= x0 || y1 <= y0) return;
  auto crop = [&](int cx, int cy) {
    return " -crop " + std::to_string(x1 - x0) + "x" + std::to_string(y1 - y0) + "+" + std::to_string(cx) + "+" +
           std::to_string(cy) + " +repage";
  };
  const std::filesystem::path piece = work_ / ("piece" + std::to_string(pieces_++) + ".png");
  std::string cmd = "convert \\( " + quoted(canvas_) + crop(x0, y0) + " \\) \\( " + quoted(pic) +
                    crop(x0 - x, y0 - y) + " \\)";
  if (rule_pic) cmd += " \\( " + quoted(*rule_pic) + crop(x0 - x, y0 - y) + " \\)";
  cmd += " -channel RGB -fx '" + std::string(kBytes) + expr + "' +channel -alpha off -depth 8 PNG24:" + quoted(piece);
  run(cmd);
  copy(piece, x0, y0);
}

}  // namespace nv::test
