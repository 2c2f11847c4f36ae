// Inflate throughput of zlib's uncompress against libdeflate's one-shot
// zlib decompression on the same entries: files of the host's /usr/share
// (text, images, fonts), each compressed as nvpack does by default (level 9).
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resources/inflate.h"

namespace {

struct Entry {
  std::vector<uint8_t> packed;
  size_t size;
};

std::vector<Entry> gather(size_t budget) {
  std::vector<Entry> out;
  size_t total = 0;
  for (const char* root : {"/usr/share/common-licenses", "/usr/share/fonts", "/usr/share/icons", "/usr/share/doc",
                           "/usr/share/X11", "/usr/share/zoneinfo"}) {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (!it->is_regular_file(ec) || it->file_size(ec) < 256 || it->file_size(ec) > (8u << 20)) continue;
      std::ifstream f(it->path(), std::ios::binary);
      std::vector<uint8_t> data((std::istreambuf_iterator<char>(f)), {});
      uLongf n = compressBound(static_cast<uLong>(data.size()));
      Entry e{std::vector<uint8_t>(n), data.size()};
      if (compress2(e.packed.data(), &n, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK)
        continue;
      e.packed.resize(n);
      total += data.size();
      out.push_back(std::move(e));
      if (total >= budget) return out;
    }
  }
  return out;
}

double run(const std::vector<Entry>& entries, nv::res::Inflater which, int rounds, size_t& bytes, int& failures) {
  auto t = std::chrono::steady_clock::now();
  bytes = 0;
  failures = 0;
  std::vector<uint8_t> out;
  for (int r = 0; r < rounds; ++r) {
    for (const Entry& e : entries) {
      out.resize(e.size);
      failures += nv::res::inflate_zlib_stream(e.packed, out, which) != nv::res::InflateStatus::ok;
      bytes += e.size;
    }
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

}  // namespace

int main() {
  std::vector<Entry> entries = gather(48u << 20);
  size_t plain = 0, packed = 0;
  for (const Entry& e : entries) plain += e.size, packed += e.packed.size();
  std::printf("%zu entries, %.1f MB, compressed to %.1f MB\n", entries.size(), plain / 1e6, packed / 1e6);
  if (entries.empty()) return 1;
  size_t bytes = 0;
  int failures = 0;
  double tz = run(entries, nv::res::Inflater::zlib, 3, bytes, failures);
  double mz = bytes / tz / 1e6;
  std::printf("zlib uncompress:            %7.0f MB/s of output (%d failures)\n", mz, failures);
  double td = run(entries, nv::res::Inflater::libdeflate, 3, bytes, failures);
  double md = bytes / td / 1e6;
  std::printf("libdeflate zlib_decompress: %7.0f MB/s of output (%d failures)\n", md, failures);
  std::printf("libdeflate / zlib: %.2fx\n", md / mz);
  return 0;
}
