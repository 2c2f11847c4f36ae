// The save data file (.sd): layout constants, limits and the error numbers
// its readers and writers give. All fields are little-endian.
//
//   file    0 "NVSD" | 4 u32 version 192 | 8 u32 record count | 12 u32 1024
//           | 16 u32[1024] offsets (entry k-1: record of data number k, 0 absent)
//           | 4112 records
//   record  0 u32 data number | 4 u8 kind | 5 u8 1 | 6 u16 0 | 8 u32 compressed
//           size c | 12 u32 payload size u | 16 c bytes of zlib stream
//
// The payloads are described in save_payload.h; docs/formats.md has the whole
// layout byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace nv::save {

constexpr uint32_t kVersion = 192;
constexpr uint32_t kTableEntries = 1024;
constexpr uint32_t kMaxDataNumber = kTableEntries;
constexpr size_t kTableOffset = 16;
constexpr size_t kHeadSize = kTableOffset + 4 * kTableEntries;  // 4112: where records begin
constexpr size_t kRecordHeadSize = 16;

enum Kind : uint8_t { kVariableData = 0, kImageData = 1 };

// Variable payloads.
enum PayloadType : uint32_t { kInteger = 1, kFloat = 2, kText = 3 };
constexpr uint32_t kMaxDims = 8;
constexpr uint64_t kMaxElements = 4000000;
// The largest data part of a variable payload (numbers or texts with their
// length fields), at saving as at loading.
constexpr uint64_t kMaxVariableData = 40000000;
constexpr uint64_t kMaxVariablePayload = 12 + 4 * kMaxDims + kMaxVariableData;

// Image payloads: a 992-byte layer block, then width x 4 x height pixels.
constexpr uint32_t kLayerBlockSize = 992;
constexpr size_t kImageHeadSize = 8 + kLayerBlockSize;  // 1000
constexpr size_t kBlockWidthOffset = 600;
constexpr size_t kBlockHeightOffset = 604;
// This engine's own bytes in the block: a marker, then the alpha flag. A block
// written elsewhere lacks the marker and loads with the flag off.
constexpr size_t kBlockMarkerOffset = 608;
constexpr char kBlockMarker[4] = {'N', 'V', 'L', 'Y'};
constexpr size_t kBlockAlphaOffset = 612;
constexpr int32_t kMaxImageSide = 8192;
constexpr uint64_t kMaxImagePayload = kImageHeadSize + uint64_t(kMaxImageSide) * 4 * kMaxImageSide;

// Offsets are 32-bit: a file must stay below 4 GiB.
constexpr uint64_t kMaxFileSize = 0xFFFFFFFFu;

// Error numbers (the texts are in the error table).
enum Error : uint32_t {
  kOk = 0,
  kErrArrayTooLarge = 101100,     // data part above kMaxVariableData ("%d Byte" = 40000000)
  kErrNoFile = 102100,            // LOAD: the file does not exist
  kErrNoRecord = 102110,          // the data number has no record in the file
  kErrTypeMismatch = 102120,      // stored type differs from the target's
  kErrCannotWrite = 102140,       // the file could not be written (errno and its text)
  kErrNameSeparator = 102150,     // "\" or "/" in a data file name
  kErrNameTooLong = 102160,       // name above 32 bytes
  kErrSlotFilled = 102170,        // the data number is already pending
  kErrBadFile = 108030,           // not a save file, or its head or a record head is damaged
  kErrVersion = 108040,           // another format version
  kErrNotVariable = 108050,       // LOAD into a variable found image data
  kErrDimCount = 108080,          // the target has another dimension count
  kErrDimSizes = 108090,          // the target has other dimension sizes
  kErrNotImage = 108100,          // LOAD into a layer found variable data
  kErrImageData = 108110,         // the image payload is not one this engine reads
  kErrDataError = 900000,         // a damaged variable payload or zlib stream
};

}  // namespace nv::save
