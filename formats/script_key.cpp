#include "formats/script_key.h"

#include "formats/checksums.h"

namespace nv {

ScriptKey script_key() {
  uint32_t crc = crc32_of(kScriptKeyText);
  return {static_cast<uint8_t>(crc >> 24), static_cast<uint8_t>(crc >> 16), static_cast<uint8_t>(crc >> 8),
          static_cast<uint8_t>(crc)};
}

}  // namespace nv
