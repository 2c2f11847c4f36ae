// nvbin\nvl.nbn, the label table ("NVLB"): count at 8, 256 uint32 bucket
// starts at 12, from 1036 the labels sorted by the CRC-32 of their names:
// length byte, name, uint32 hash, int32 instruction index, uint16 script
// number, IF depth byte, LOOP depth byte. Bucket b is the index of the
// first label whose hash has a most significant byte of at least b (the
// label count when there is none), so a lookup starting there finds every
// label of that byte.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats/byte_writer.h"

namespace nv::writers {

struct LabelModel {
  std::string name;  // Shift-JIS, 1 to 255 bytes, case-sensitive
  uint16_t script = 0;
  int32_t instruction = 0;
  uint8_t if_depth = 0;
  uint8_t loop_depth = 0;
};

// Labels with equal hashes keep their given order. Duplicate names throw.
Bytes encode_label_table(std::span<const LabelModel> labels);

}  // namespace nv::writers
