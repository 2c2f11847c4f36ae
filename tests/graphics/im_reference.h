// Expected pictures made by ImageMagick from a title's own picture files,
// independently of the engine: the canvas starts as a copy of the bottom
// picture and each layer is laid over it, bottom to top. Simple modes use
// ImageMagick's own compositing; the weighted forms apply the blend
// formulas with -fx, so that the integer rounding is the documented one.
//
// Pixels of a picture whose alpha is 0 take the grey the loader gives them
// (128, 128, 128) before blending, as in the engine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace nv::test {

// A picture as RGB bytes, read by ImageMagick.
struct RgbPicture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};
RgbPicture read_rgb(const std::filesystem::path& file);

// "" when equal; else how many pixels differ and the first of them.
std::string compare_rgb(const RgbPicture& got, const RgbPicture& want);

class ImReference {
 public:
  // `work` is a folder the canvas and intermediate pieces are written to.
  ImReference(std::filesystem::path work, const std::filesystem::path& bottom);

  // Opaque pictures at full opacity: mode 0 (a copy) and mode 1 (addition).
  void copy(const std::filesystem::path& pic, int x, int y);
  void add(const std::filesystem::path& pic, int x, int y);
  // Per-pixel alpha, mode 0, opacity `a` (256 full).
  void alpha(const std::filesystem::path& pic, int x, int y, int a = 256);
  // An opaque picture, mode 0, opacity `a` below 256.
  void faded(const std::filesystem::path& pic, int x, int y, int a);
  // An opaque picture, mode 0, coming in through the rule picture (same
  // size, at the same place) at transition value `t` and ramp `ta`.
  void rule(const std::filesystem::path& pic, const std::filesystem::path& rule_pic, int x, int y, int t, int ta);

  const std::filesystem::path& canvas() const { return canvas_; }
  RgbPicture picture() const { return read_rgb(canvas_); }
  // False after an ImageMagick command failed.
  bool ok() const { return ok_; }

 private:
  // Runs `expr` (per colour channel; dv, sv, av: destination, source and
  // source alpha bytes; rv the rule byte) over the part of the canvas `pic`
  // covers, then puts that part back.
  void blend_fx(const std::filesystem::path& pic, const std::filesystem::path* rule_pic, int x, int y,
                const std::string& expr);
  // ImageMagick's own composition `op` of `pic` at (x, y) onto the canvas.
  void composite(const std::filesystem::path& pic, int x, int y, const char* op);
  void run(const std::string& cmd);

  std::filesystem::path work_, canvas_;
  int width_ = 0, height_ = 0;
  int pieces_ = 0;
  bool ok_ = true;
};

}  // namespace nv::test
