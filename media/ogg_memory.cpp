#include "media/ogg_memory.h"

#include <cstdio>
#include <cstring>

namespace nv::media {

namespace {

size_t mem_read(void* ptr, size_t size, size_t count, void* source) {
  auto* r = static_cast<OggMemoryReader*>(source);
  if (size == 0 || r->position >= r->size) return 0;
  const size_t left = r->size - r->position;
  // Whole elements only, and never more than the file holds.
  const size_t n = count < left / size ? count : left / size;
  std::memcpy(ptr, r->data + r->position, n * size);
  r->position += n * size;
  return n;
}

int mem_seek(void* source, ogg_int64_t offset, int whence) {
  auto* r = static_cast<OggMemoryReader*>(source);
  const auto size = static_cast<ogg_int64_t>(r->size);
  ogg_int64_t base = 0;
  switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<ogg_int64_t>(r->position); break;
    case SEEK_END: base = size; break;
    default: return -1;
  }
  if ((offset > 0 && base > size - offset) || base + offset < 0) return -1;
  r->position = static_cast<size_t>(base + offset);
  return 0;
}

int mem_close(void*) { return 0; }

long mem_tell(void* source) { return static_cast<long>(static_cast<OggMemoryReader*>(source)->position); }

}  // namespace

ov_callbacks ogg_memory_callbacks() { return ov_callbacks{mem_read, mem_seek, mem_close, mem_tell}; }

int OggStream::open(std::span<const uint8_t> file) {
  close();
  reader_ = OggMemoryReader{file.data(), file.size(), 0};
  const int r = ov_open_callbacks(&reader_, &vf_, nullptr, 0, ogg_memory_callbacks());
  // A failed open has already cleared what it made.
  open_ = r == 0;
  return r;
}

void OggStream::close() {
  if (open_) ov_clear(&vf_);
  open_ = false;
}

int probe_ogg(std::span<const uint8_t> file, OggFacts& out) {
  OggStream s;
  if (s.open(file) != 0) return kOggCannotOpen;
  OggVorbis_File* vf = s.get();
  if (!ov_seekable(vf)) return kOggNotSeekable;
  if (ov_streams(vf) != 1) return kOggChained;
  const vorbis_info* info = ov_info(vf, -1);
  if (!info) return kOggNoInfo;
  out.channels = info->channels;
  out.rate = info->rate;
  const double total = ov_time_total(vf, -1);
  out.total_ms = total > 0 ? static_cast<int64_t>(total * 1000.0) : 0;
  return 0;
}

int ogg_read_error(long result) {
  if (result == OV_HOLE) return 90001;
  if (result == OV_EBADLINK) return 90002;
  return static_cast<int>(result < 0 ? -result : result);
}

}  // namespace nv::media
