// The variable-length-code LZW of GIF image data.
#pragma once

#include <cstdint>
#include <span>

namespace nv::gfx {

// Decodes `codes` (the sub-block payloads joined) with the given minimum
// code size into `out`, at most out.size() indices; returns how many were
// written. A bad minimum code size, a code that is not yet defined or the
// end of the data stops decoding early; the rest of `out` is left as it is.
// When the dictionary is full (4096 entries) codes are read at 12 bits and
// no more entries are added until the next clear code.
size_t lzw_decode(std::span<const uint8_t> codes, int min_code_size, std::span<uint8_t> out);

}  // namespace nv::gfx
