// Save data files on disk: the pending records SAVE prepares, written into
// their file in one atomic replace, and one record read back for LOAD.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/save_file.h"
#include "platform/file_system.h"

namespace nv::save {

// The records prepared by SAVE with DNO and not yet written, one slot per
// data number, shared by every task. A slot holds a whole record
// (make_record); empty means none.
struct PendingSlots {
  std::array<std::vector<uint8_t>, kTableEntries> records;

  bool filled(uint32_t data_number) const { return !records[data_number - 1].empty(); }
  bool any() const;
  void clear();
};

struct WriteResult {
  uint32_t code = kOk;  // kOk, kErrBadFile, kErrVersion or kErrCannotWrite
  int error = 0;        // with kErrCannotWrite: the host's error number
  std::string text;     // and its text (UTF-8)
};

// Writes every filled slot into the file `path` (an engine path, found as the
// file system finds names), merged with the records the file already holds,
// by replacing the file whole; `folder` is created first when it is missing.
// The slots are emptied only when the write succeeded; on any failure they
// and the old file stay as they were.
WriteResult write_pending(PendingSlots& slots, const platform::FileSystem& fs, std::string_view folder,
                          std::string_view path);

// The number 102140 shows for a host error number: the numbering of the
// title's error-number texts (0 to 36), which agrees with the host's for 1
// to 34 and has EDEADLK at 36. Returns -1 when that numbering has no such
// error (the host's number and text are shown then).
int message_error_number(int host_error);

// Reads the record of `data_number` from the file `path`: only the head, the
// record head and its stream are read. Returns kOk with `head` and `stream`
// filled, kErrNoFile, kErrBadFile, kErrVersion or kErrNoRecord.
uint32_t read_record(const platform::FileSystem& fs, std::string_view path, uint32_t data_number, RecordHead& head,
                     std::vector<uint8_t>& stream);

}  // namespace nv::save
