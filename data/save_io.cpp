#include "data/save_io.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/file_replace.h"

namespace nv::save {

bool PendingSlots::any() const {
  for (const auto& r : records)
    if (!r.empty()) return true;
  return false;
}

void PendingSlots::clear() {
  for (auto& r : records) r = std::vector<uint8_t>();
}

int message_error_number(int host_error) {
  if (host_error >= 0 && host_error <= 34) return host_error;
  return host_error == EDEADLK ? 36 : -1;
}

namespace {

WriteResult cannot_write(int error, std::string text) {
  WriteResult r;
  r.code = kErrCannotWrite;
  r.error = error;
  r.text = std::move(text);
  return r;
}

// Makes every folder of `folder` that is missing; a failure shows later as
// the replace's own error.
void make_folders(const platform::FileSystem& fs, std::string_view folder) {
  size_t end = 0;
  for (std::string_view part : platform::split_path(folder)) {
    end = static_cast<size_t>(part.data() + part.size() - folder.data());
    fs.make_directory(folder.substr(0, end));
  }
}

}  // namespace

WriteResult write_pending(PendingSlots& slots, const platform::FileSystem& fs, std::string_view folder,
                          std::string_view path) {
  std::optional<std::vector<uint8_t>> old;
  if (fs.exists(path)) {
    platform::FileRead r = fs.read(path);
    if (r.status != platform::FileStatus::ok) return cannot_write(EIO, std::strerror(EIO));
    old = std::move(r.data);
  }
  std::vector<std::span<const uint8_t>> records;
  for (const auto& r : slots.records)
    if (!r.empty()) records.emplace_back(r);
  FilePlan plan;
  if (uint32_t e = plan_file(old ? &*old : nullptr, records, plan); e != kOk) {
    if (e == kErrCannotWrite) return cannot_write(EFBIG, std::strerror(EFBIG));
    WriteResult r;
    r.code = e;
    return r;
  }
  make_folders(fs, folder);
  platform::ReplaceResult done = platform::replace_file(fs.host_path(path), plan.pieces);
  if (!done.ok()) return cannot_write(done.error, std::move(done.text));
  slots.clear();
  return {};
}

uint32_t read_record(const platform::FileSystem& fs, std::string_view path, uint32_t data_number, RecordHead& head,
                     std::vector<uint8_t>& stream) {
  stream.clear();
  platform::OpenedFile opened = fs.open_read(path);
  if (opened.status != platform::FileStatus::ok) return kErrNoFile;
  const platform::ReadFile& file = opened.file;
  std::vector<uint8_t> bytes(static_cast<size_t>(std::min<uint64_t>(file.size(), kHeadSize)));
  if (!file.read_at(0, bytes)) return kErrBadFile;
  FileIndex index;
  if (uint32_t e = parse_file_head(bytes, file.size(), index); e != kOk) return e;
  if (data_number < 1 || data_number > kMaxDataNumber) return kErrNoRecord;
  uint32_t offset = index.offsets[data_number - 1];
  if (offset == 0) return kErrNoRecord;
  bytes.assign(kRecordHeadSize, 0);
  if (offset > file.size() || file.size() - offset < kRecordHeadSize || !file.read_at(offset, bytes))
    return kErrBadFile;
  if (uint32_t e = parse_record_head(bytes, data_number, offset, file.size(), head); e != kOk) return e;
  stream.resize(head.compressed_size);
  if (!file.read_at(head.data_offset, stream)) {
    stream.clear();
    return kErrBadFile;
  }
  return kOk;
}

}  // namespace nv::save
