// Fuzzes the png decoder followed by the transparent-pixel normalisation.
#include <cstddef>
#include <cstdint>

#include "graphics/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nv::gfx::DecodedImage img;
  const uint32_t code = nv::gfx::decode_png(std::span<const uint8_t>(data, size), img);
  if (code == 0) nv::gfx::normalize_transparent(img);
  return 0;
}
