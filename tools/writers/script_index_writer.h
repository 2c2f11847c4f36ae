// nvbin\nvt.nbn, the script index ("NVTD"): the 16-byte header alone, with
// the variable count N at 8 (variables 0 to N exist) and a second count at
// 12 that scripts read as system variable 70.
#pragma once

#include <cstdint>

#include "formats/byte_writer.h"

namespace nv::writers {

Bytes encode_script_index(uint32_t variable_count, uint32_t second_count);

}  // namespace nv::writers
