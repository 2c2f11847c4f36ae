// A small title with a message window, for runs of the nivalo program:
// two pages of text that wait for a click after the first, and helpers to
// read its frames back and look at the text in them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace nv::text::test {

constexpr int kTitleWidth = 320, kTitleHeight = 120;
// The message layer: opaque black, at (kBoxX, kBoxY); lines are 20 rows.
constexpr int kBoxX = 10, kBoxY = 10, kBoxWidth = 300, kBoxHeight = 100, kLine = 20;

// Writes the title (script compiled by VIZud, caption `caption`); "" or
// what went wrong.
std::string make_message_title(const nv::test::TempDir& dir, const std::string& caption);

// Pixels as 0xRRGGBB, rows top-down.
struct Frame {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;
  uint32_t at(int x, int y) const { return rgb[size_t(y) * size_t(width) + size_t(x)]; }
};
std::optional<Frame> read_frame(const std::filesystem::path& png);

// Lit (not black) pixels of the box's text line `line` in `frame`, with
// the box's top-left at (ox, oy); cells of `cell` columns each, as masks.
std::vector<std::vector<bool>> line_cells(const Frame& frame, int ox, int oy, int line, int cell, int cells);
int lit_pixels(const std::vector<std::vector<bool>>& cells);

}  // namespace nv::text::test
