// Fuzzes Ogg Vorbis read through the memory callbacks: the facts read on
// loading, then decoding with seeks like the fills make.
#include <cstddef>
#include <cstdint>
#include <span>

#include "media/ogg_memory.h"

// libvorbisfile 1.3.7 itself leaks a few bytes on some damaged headers (a
// serial-number list dropped on an error path); only leaks inside it are
// let pass.
extern "C" const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  nv::media::OggFacts facts;
  if (nv::media::probe_ogg(file, facts) != 0) return 0;
  nv::media::OggStream s;
  if (s.open(file) != 0) return 0;
  char buf[4096];
  int section = 0;
  const ogg_int64_t total = ov_pcm_total(s.get(), -1);
  for (int i = 0; i < 64; ++i) {
    if (i % 16 == 8 && total > 0) {
      ov_pcm_seek(s.get(), (total * (i + int(size))) / 97 % total);
      ov_time_seek(s.get(), double(i) / 10.0);
    }
    if (ov_read(s.get(), buf, sizeof buf, 0, 2, 1, &section) <= 0) break;
  }
  // The callbacks on their own, with the input's bytes as offsets.
  nv::media::OggMemoryReader r{data, size, 0};
  const ov_callbacks cb = nv::media::ogg_memory_callbacks();
  for (size_t i = 0; i + 8 <= size && i < 256; i += 8) {
    int64_t off = 0;
    for (int k = 0; k < 8; ++k) off = off << 8 | data[i + size_t(k)];
    cb.seek_func(&r, off, int(data[i] % 3));
    const size_t each = 1 + data[i + 1] % 4;
    cb.read_func(buf, each, size_t(off) % (sizeof buf / each + 1), &r);
    if (r.position > size) __builtin_trap();
  }
  return 0;
}
