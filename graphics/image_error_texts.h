// The log and box text of the image loader that is not an error-table entry
// (the numbered texts come from the title's error table).
#pragma once

#include <string_view>

namespace nv::gfx {

// Shown before 100010 when a pixel buffer cannot be allocated: file, width, height.
extern const std::string_view kImageAllocFailText;

}  // namespace nv::gfx
