// Constants of the pack archive format shared by the pack writer (nvpack)
// and the engine's pack reader.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace nv {

// What kind of file an entry is: the type codes of the pack format, which
// the file loader also gives loose files by their extension.
enum class FileType : uint8_t { unknown = 0, bmp = 1, png = 2, jpeg = 3, gif = 4, wav = 5, ogg = 6, psd = 7 };

}  // namespace nv

namespace nv::pack {

constexpr char kMagic[4] = {'N', 'P', 'F', '\0'};
constexpr uint32_t kVersion = 404;
constexpr uint32_t kOldestVersion = 234;  // packs from this version on are accepted
constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kRecordFixedSize = 23;  // an entry record is 23 + name length bytes

enum Compression : uint8_t { kStored = 0, kZlib = 1 };

// The twelve exchanges that turn the identity into the permutation P of the
// stored name length: L = P[255 - b].
constexpr std::array<std::pair<uint8_t, uint8_t>, 12> kExchanges = {{
    {0x03, 0xA7}, {0x11, 0x5C}, {0x1F, 0xE2}, {0x26, 0x91}, {0x38, 0xC4}, {0x42, 0x7B},
    {0x4D, 0xF0}, {0x57, 0x88}, {0x60, 0xB3}, {0x6A, 0xD9}, {0x03, 0x11}, {0x7B, 0xFF},
}};

constexpr std::array<uint8_t, 256> make_permutation() {
  std::array<uint8_t, 256> p{};
  for (int i = 0; i < 256; ++i) p[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  for (auto [a, b] : kExchanges) {
    uint8_t t = p[a];
    p[a] = p[b];
    p[b] = t;
  }
  return p;
}

constexpr std::array<uint8_t, 256> kP = make_permutation();

// Name length from the stored length byte b.
constexpr uint8_t name_length(uint8_t b) { return kP[static_cast<uint8_t>(255 - b)]; }

// The stored length byte for a name of `len` bytes (the inverse of name_length).
constexpr uint8_t stored_length_byte(uint8_t len) {
  for (int i = 0; i < 256; ++i)
    if (kP[static_cast<size_t>(i)] == len) return static_cast<uint8_t>(255 - i);
  return 0;
}

// A pack appended to the engine executable (formats/appended_pack.h): the
// "NVER" header in front of it and the trailer at the end of the file.
constexpr char kAppendedMagic[4] = {'N', 'V', 'E', 'R'};
constexpr uint32_t kAppendedHeaderSize = 16;
constexpr std::string_view kTrailerMagic = "NVRES201";
constexpr uint32_t kTrailerSize = 16;

}  // namespace nv::pack
