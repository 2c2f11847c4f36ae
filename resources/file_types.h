// Where a loaded file came from and what kind of file it is (the codes of
// the pack format and of the file loader).
#pragma once

#include <cstdint>

namespace nv {

enum class FileSource : uint8_t { none = 0, loose = 1, pack = 2, shared = 3, cached = 4 };
enum class FileType : uint8_t { unknown = 0, bmp = 1, png = 2, jpeg = 3, gif = 4, wav = 5, ogg = 6, psd = 7 };

}  // namespace nv
