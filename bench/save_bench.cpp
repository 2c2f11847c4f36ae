// SAVE and LOAD of large records against the plain way of storing the same
// payload (zlib's compress2 at level 1, write, fsync) in the same run, with
// zlib and libdeflate as the record compressor; and one small record saved
// into a large file by the atomic rewrite against an append in place.
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "data/save_file.h"
#include "data/save_payload.h"
#include "platform/file_replace.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace nv::save;
namespace fs = std::filesystem;

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), {});
}

// SAVE of one record into a new file: compress, plan, replace (with fsync).
double save(const std::string& path, Kind kind, const Bytes& payload, Compressor c, size_t& file_size) {
  double t = now();
  Bytes record;
  if (make_record(1, kind, payload, record, c) != kOk) std::abort();
  std::vector<std::span<const uint8_t>> spans = {record};
  FilePlan plan;
  if (plan_file(nullptr, spans, plan) != kOk) std::abort();
  if (!nv::platform::replace_file(path, plan.pieces).ok()) std::abort();
  file_size = plan.size;
  return now() - t;
}

// LOAD: read the file, find the record, inflate and check its payload.
double load(const std::string& path, size_t expect) {
  double t = now();
  Bytes file = read_file(path);
  RecordHead head;
  std::span<const uint8_t> stream;
  Bytes payload;
  if (find_record(file, 1, head, stream) != kOk || inflate_record(head, stream, payload) != kOk) std::abort();
  uint32_t e;
  if (head.kind == kImageData) {
    ImagePayload image;
    e = decode_image_payload(payload, image);
  } else {
    VariablePayload v;
    e = decode_variable_payload(payload, v);
  }
  if (e != kOk || payload.size() != expect) std::abort();
  return now() - t;
}

// The peer: compress2 level 1, write, fsync.
double plain(const std::string& path, const Bytes& payload, size_t& size) {
  double t = now();
  uLongf n = compressBound(static_cast<uLong>(payload.size()));
  Bytes out(n);
  if (compress2(out.data(), &n, payload.data(), static_cast<uLong>(payload.size()), 1) != Z_OK) std::abort();
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || ::write(fd, out.data(), n) != static_cast<ssize_t>(n) || ::fsync(fd) != 0) std::abort();
  ::close(fd);
  size = n;
  return now() - t;
}

template <typename F>
double best_of(int rounds, F&& f) {
  double best = 1e9;
  for (int r = 0; r < rounds; ++r) best = std::min(best, f());
  return best;
}

void compare(const char* what, Kind kind, const Bytes& payload, const fs::path& dir) {
  std::string sd = (dir / "bench.sd").string(), raw = (dir / "bench.z").string();
  size_t size_z = 0, size_d = 0, size_p = 0;
  double peer = best_of(3, [&] { return plain(raw, payload, size_p); });
  double save_z = best_of(3, [&] { return save(sd, kind, payload, Compressor::zlib, size_z); });
  double load_z = best_of(3, [&] { return load(sd, payload.size()); });
  double save_d = best_of(3, [&] { return save(sd, kind, payload, Compressor::libdeflate, size_d); });
  double load_d = best_of(3, [&] { return load(sd, payload.size()); });
  std::printf("%s: payload %.1f MB\n", what, payload.size() / 1e6);
  std::printf("  compress2(1)+write+fsync     %8.1f ms  %9zu bytes\n", peer * 1e3, size_p);
  std::printf("  SAVE zlib level 1            %8.1f ms  %9zu bytes  (%.2fx the peer's time)\n", save_z * 1e3, size_z,
              save_z / peer);
  std::printf("  SAVE libdeflate level 1      %8.1f ms  %9zu bytes  (%.2fx the peer's time)\n", save_d * 1e3, size_d,
              save_d / peer);
  std::printf("  LOAD (zlib-made file)        %8.1f ms\n", load_z * 1e3);
  std::printf("  LOAD (libdeflate-made file)  %8.1f ms\n", load_d * 1e3);
  std::printf("  libdeflate / zlib SAVE time: %.2f\n", save_d / save_z);
}

// One small record into a file of `big` bytes of other records: the atomic
// rewrite against appending the record and rewriting the table in place.
void small_into_large(const fs::path& dir) {
  std::mt19937_64 rng(5);
  std::vector<Bytes> records;
  size_t total = 0;
  for (uint32_t dno = 1; total < (100u << 20); ++dno) {
    Bytes payload(1 << 20), record;
    for (size_t k = 0; k < payload.size(); k += 8) {
      uint64_t v = rng();
      std::memcpy(&payload[k], &v, 8);
    }
    make_record(dno, kImageData, payload, record, Compressor::libdeflate);
    total += record.size();
    records.push_back(std::move(record));
  }
  std::vector<std::span<const uint8_t>> spans(records.begin(), records.end());
  FilePlan plan;
  if (plan_file(nullptr, spans, plan) != kOk) std::abort();
  std::string path = (dir / "large.sd").string();
  if (!nv::platform::replace_file(path, plan.pieces).ok()) std::abort();

  Bytes payload, small;
  int64_t one = 1;
  encode_integers({}, std::span(&one, 1), payload);
  make_record(1000, kVariableData, payload, small);

  double atomic = best_of(3, [&] {
    double t = now();
    Bytes old = read_file(path);
    std::vector<std::span<const uint8_t>> s = {small};
    FilePlan p;
    if (plan_file(&old, s, p) != kOk || !nv::platform::replace_file(path, p.pieces).ok()) std::abort();
    return now() - t;
  });
  double append = best_of(3, [&] {
    double t = now();
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    Bytes head(kHeadSize);
    if (::pread(fd, head.data(), head.size(), 0) != static_cast<ssize_t>(head.size())) std::abort();
    off_t end = ::lseek(fd, 0, SEEK_END);
    if (::pwrite(fd, small.data(), small.size(), end) != static_cast<ssize_t>(small.size())) std::abort();
    ::fsync(fd);  // the record before the table that points at it
    uint32_t off = static_cast<uint32_t>(end);
    std::memcpy(&head[kTableOffset + 4 * 999], &off, 4);
    if (::pwrite(fd, head.data(), head.size(), 0) != static_cast<ssize_t>(head.size())) std::abort();
    ::fsync(fd);
    ::close(fd);
    return now() - t;
  });
  std::printf("one small record into a %.0f MB file:\n", plan.size / 1e6);
  std::printf("  atomic rewrite (read, plan, temporary, fsync, rename)  %8.1f ms\n", atomic * 1e3);
  std::printf("  append in place (two fsyncs, not crash-safe for the table) %4.1f ms\n", append * 1e3);
  std::printf("  rewrite / append: %.1fx\n", atomic / append);
}

}  // namespace

int main(int argc, char** argv) {
  fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "nivalo-save-bench";
  fs::create_directories(dir);
  std::mt19937_64 rng(1);

  {  // 4,000,000 integers: counters, flags and scores as a game keeps them.
    std::vector<int64_t> values(kMaxElements);
    for (size_t k = 0; k < values.size(); ++k) values[k] = k % 3 == 0 ? int64_t(rng() % 1000) : int64_t(k / 7);
    Bytes payload;
    encode_integers(std::vector<int32_t>{2000, 2000}, values, payload);
    compare("4,000,000 integers", kVariableData, payload, dir);
  }
  {  // 100,000 texts of 40 bytes.
    std::vector<std::string> texts(100000);
    const char* words[] = {"flag", "\x82\xA0\x82\xA2", "chapter", "\x95\x5C\x8E\xA6", "route", "end"};
    for (auto& t : texts) {
      while (t.size() < 40) t += words[rng() % 6];
      t.resize(40);
    }
    Bytes payload;
    encode_texts(std::vector<int32_t>{100000}, texts.size(), [&](size_t k) -> const std::string& { return texts[k]; },
                 payload);
    compare("100,000 texts of 40 bytes", kVariableData, payload, dir);
  }
  {  // A 1280 x 720 layer: a gradient with noise, as a screenshot has.
    Bytes pixels(1280 * 720 * 4);
    for (size_t y = 0; y < 720; ++y)
      for (size_t x = 0; x < 1280; ++x) {
        uint8_t* p = &pixels[(y * 1280 + x) * 4];
        p[0] = static_cast<uint8_t>(x / 5 + rng() % 4);
        p[1] = static_cast<uint8_t>(y / 3);
        p[2] = static_cast<uint8_t>((x + y) / 8);
        p[3] = 255;
      }
    Bytes payload;
    encode_image({1280, 720, false}, pixels, payload);
    compare("1280x720 layer", kImageData, payload, dir);
  }
  small_into_large(dir);
  fs::remove_all(dir);
  return 0;
}
