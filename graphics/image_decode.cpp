// The decoder chosen by image type code, and the normalisation of
// transparent pixels that follows every load.
#include "graphics/image.h"

namespace nv::gfx {

void normalize_transparent(DecodedImage& img) {
  for (uint32_t& p : img.pixels)
    if ((p >> 24) == 0) p = kTransparentGrey;
}

uint32_t decode_image(FileType type, std::span<const uint8_t> bytes, DecodedImage& out) {
  uint32_t result = kErrUnsupportedFile;
  switch (type) {
    case FileType::bmp: result = decode_bmp(bytes, out); break;
    case FileType::png: result = decode_png(bytes, out); break;
    case FileType::jpeg: result = decode_jpeg(bytes, out); break;
    case FileType::gif: result = decode_gif(bytes, out); break;
    case FileType::psd: out = DecodedImage{}; return kErrPsd;
    default: out = DecodedImage{}; return kErrUnsupportedFile;
  }
  if (result == 0) normalize_transparent(out);
  return result;
}

}  // namespace nv::gfx
