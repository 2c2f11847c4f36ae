// Where a loaded file came from and what kind of file it is (the codes of
// the pack format and of the file loader).
#pragma once

#include <cstdint>

#include "formats/pack_format.h"

namespace nv::res {

enum class FileSource : uint8_t { none = 0, loose = 1, pack = 2, shared = 3, cached = 4 };

}  // namespace nv::res
