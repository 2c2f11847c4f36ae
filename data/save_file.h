// Save data files as bytes: compressed records, the file head and its offset
// table, and the file that results from merging new records into an old one.
// Every number read from a file is checked against the file before it is
// used; nothing here touches the disk.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "data/save_format.h"

namespace nv::save {

enum class Compressor { zlib, libdeflate };
// The faster of the two at level 1 on save payloads (bench/save_bench).
constexpr Compressor kSaveCompressor = Compressor::libdeflate;

// A whole record as it stands in a file: the 16-byte head (data number,
// kind, 1, 0, compressed size, payload size) and the payload compressed at
// level 1. Returns kOk, or kErrDataError when the payload is above the
// limits of its kind (a load would refuse it) or compression fails.
uint32_t make_record(uint32_t data_number, Kind kind, std::span<const uint8_t> payload, std::vector<uint8_t>& out,
                     Compressor compressor = kSaveCompressor);

// The data number a record made by make_record belongs to.
uint32_t record_data_number(std::span<const uint8_t> record);

struct FileIndex {
  uint32_t count = 0;                           // as the file states it
  std::array<uint32_t, kTableEntries> offsets{};  // entry k-1: data number k
};

// Checks the first min(file_size, 4112) bytes of a file of `file_size` bytes:
// "NVSD" and a complete head (else kErrBadFile), version 192 (else
// kErrVersion), a table of 1024 entries (else kErrBadFile).
uint32_t parse_file_head(std::span<const uint8_t> head, uint64_t file_size, FileIndex& out);

struct RecordHead {
  uint32_t data_number = 0;
  Kind kind = kVariableData;
  uint32_t compressed_size = 0;
  uint32_t payload_size = 0;
  uint64_t data_offset = 0;  // of the zlib stream in the file
};

// Checks the 16 bytes read at `offset`, the table entry of `data_number`: the
// record lies after the head and wholly inside the file, names that data
// number and a known kind. Returns kOk or kErrBadFile.
uint32_t parse_record_head(std::span<const uint8_t> bytes, uint32_t data_number, uint64_t offset, uint64_t file_size,
                           RecordHead& out);

// Inflates the record's stream into exactly payload_size bytes, after
// checking that size against the limits of the record's kind (so no huge
// block is ever allocated for a damaged file). Returns kOk, kErrArrayTooLarge
// (variable data above the limit), kErrImageData (an impossible image size)
// or kErrDataError (a damaged stream, or a payload size the stream's size
// cannot hold).
uint32_t inflate_record(const RecordHead& head, std::span<const uint8_t> stream, std::vector<uint8_t>& payload);

// Finds the record of `data_number` in a whole file held in memory:
// the head, the table entry (kErrNoRecord when 0) and the record head.
uint32_t find_record(std::span<const uint8_t> file, uint32_t data_number, RecordHead& head,
                     std::span<const uint8_t>& stream);

// The bytes of a file that holds the old file's records with `records`
// merged in: old records in file order, each replaced by the new record of
// its data number, then the new records of data numbers the old file lacks,
// in data-number order. `pieces` are written back to back: the new head
// first, then spans into the old file and into `records`, which must outlive
// the plan.
struct FilePlan {
  std::vector<uint8_t> head;  // 4112 bytes
  std::vector<std::span<const uint8_t>> pieces;
  uint32_t record_count = 0;
  uint64_t size = 0;
};

// `old_file` is the old file whole, or nullptr when there is none.
// `records` are whole records from make_record, one per data number.
// Returns kOk; kErrBadFile or kErrVersion when the old file is not a save
// file this engine can merge into (any damaged record head counts: its
// records are never dropped silently); kErrCannotWrite when the result would
// reach 4 GiB (offsets are 32-bit).
uint32_t plan_file(const std::vector<uint8_t>* old_file, std::span<const std::span<const uint8_t>> records,
                   FilePlan& out);

}  // namespace nv::save
