// Texts of the image loader's error numbers (UTF-8; converted when shown).
#pragma once

#include <cstdint>
#include <string_view>

namespace nv {

// Empty for a number the image loader does not raise.
std::string_view image_error_text(uint32_t code);

// Shown before 100010 when a pixel buffer cannot be allocated: file, width, height.
extern const std::string_view kImageAllocFailText;

}  // namespace nv
