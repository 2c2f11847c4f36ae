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

FileType image_type_of_name(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return FileType::unknown;
  std::string_view ext = name.substr(dot);
  if (ext.find_first_of("\\/") != std::string_view::npos) return FileType::unknown;
  auto is = [&](std::string_view want) {
    if (ext.size() != want.size()) return false;
    for (size_t i = 0; i < ext.size(); ++i) {
      char c = ext[i];
      if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
      if (c != want[i]) return false;
    }
    return true;
  };
  if (is(".bmp")) return FileType::bmp;
  if (is(".png")) return FileType::png;
  if (is(".jpg")) return FileType::jpeg;
  if (is(".gif")) return FileType::gif;
  if (is(".psd")) return FileType::psd;
  if (is(".wav")) return FileType::wav;
  if (is(".ogg")) return FileType::ogg;
  return FileType::unknown;
}

}  // namespace nv::gfx
