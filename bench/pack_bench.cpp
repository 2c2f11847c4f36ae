// Mounting and lookups over a generated title of 100,000 entries in ten
// packs. Peers measured in the same run: a lookup that scans the whole
// index from its start, and a duplicate check that compares every entry
// with all earlier ones (on a subset, since it is quadratic).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "formats/checksums.h"
#include "host/engine.h"
#include "platform/headless/platform_headless.h"
#include "platform/platform.h"
#include "resources/file_loader.h"
#include "resources/name_fold.h"
#include "resources/pack_duplicates.h"
#include "resources/pack_lookup.h"
#include "resources/pack_mount.h"
#include "tools/writers/pack_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
double ms_since(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

std::string entry_name(int pack, int i) {
  return "data" + std::to_string(pack) + "\\cg\\ev" + std::to_string(i) + ".png";
}

// The whole-index scan lookup, for comparison.
int32_t scan_lookup(const nv::res::ResourceState& rs, std::string_view name) {
  uint32_t h = nv::crc32_of(name);
  for (size_t i = 0; i < rs.hashes.size(); ++i)
    if (rs.hashes[i] == h && nv::res::equal_ignore_case_sjis(rs.entries[i].name, name)) return static_cast<int32_t>(i);
  return -1;
}

// The all-pairs duplicate check, for comparison.
bool quadratic_duplicates(std::vector<uint32_t>& hashes, const std::vector<nv::PackEntry>& entries) {
  for (size_t i = 0; i < entries.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (hashes[j] == hashes[i] && nv::res::equal_ignore_case_sjis(entries[j].name, entries[i].name)) return false;
  return true;
}

}  // namespace

int main() {
  constexpr int kPacks = 10, kPerPack = 10000;
  auto dir = std::filesystem::temp_directory_path() / ("nivalo-pack-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  auto t = Clock::now();
  for (int p = 0; p < kPacks; ++p) {
    nv::writers::PackWriter pack(nv::writers::PackOptions{.repair_records = false});
    for (int i = 0; i < kPerPack; ++i) {
      std::string data = "x" + std::to_string(i);
      pack.add(entry_name(p, i), nv::Bytes(data.begin(), data.end()), nv::writers::Compress::never);
    }
    nv::Bytes bytes = pack.encode();
    std::ofstream(dir / ("data" + std::to_string(p) + ".npf"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::printf("generated %d entries in %d packs: %.0f ms\n", kPacks * kPerPack, kPacks, ms_since(t));

  nv::platform::HeadlessOptions o;
  o.title_dir = dir.string();
  nv::platform::Platform host = nv::platform::make_headless_platform(o);
  nv::Engine e(host);
  t = Clock::now();
  int rc = nv::res::mount_all_packs(e, "");
  double mount_ms = ms_since(t);
  std::printf("mount: %.1f ms (result %d, %u entries)\n", mount_ms, rc, e.resources.total_entries);

  std::mt19937 rng(1);
  std::vector<std::string> names;
  for (int i = 0; i < 20000; ++i) names.push_back(entry_name(static_cast<int>(rng() % kPacks), static_cast<int>(rng() % kPerPack)));
  t = Clock::now();
  long found = 0;
  for (const std::string& n : names) found += nv::res::find_pack_entry(e.resources, n) >= 0;
  double fast = ms_since(t);
  t = Clock::now();
  long found_scan = 0;
  const size_t scan_count = 500;
  for (size_t i = 0; i < scan_count; ++i) found_scan += scan_lookup(e.resources, names[i]) >= 0;
  double slow = ms_since(t);
  double fast_rate = names.size() / (fast / 1000), slow_rate = scan_count / (slow / 1000);
  std::printf("lookups: %.0f per second (binary search, %ld found) vs %.0f per second (whole-index scan): %.0fx\n",
              fast_rate, found, slow_rate, fast_rate / slow_rate);
  (void)found_scan;

  t = Clock::now();
  size_t loaded = 0;
  for (size_t i = 0; i < 2000; ++i) {
    nv::res::FileRequest r;
    loaded += nv::res::load_file(e, names[i], r, false) == nv::res::kLoadOk;
  }
  std::printf("whole loads (lookup, open, read, check): %.0f per second (%zu ok)\n", 2000 / (ms_since(t) / 1000), loaded);

  // Duplicate checks on the first 20,000 entries (in mount order: unsorted copy).
  std::vector<nv::PackEntry> subset(e.resources.entries.begin(), e.resources.entries.begin() + 20000);
  std::vector<uint32_t> hashes;
  for (const auto& x : subset) hashes.push_back(nv::crc32_of(x.name));
  std::vector<nv::res::PackFile> packs(kPacks);
  auto h1 = hashes;
  t = Clock::now();
  bool ok1 = nv::res::resolve_duplicates(h1, subset, packs).ok;
  double dup_fast = ms_since(t);
  auto h2 = hashes;
  t = Clock::now();
  bool ok2 = quadratic_duplicates(h2, subset);
  double dup_slow = ms_since(t);
  std::printf("duplicate check of 20000 entries: %.1f ms (hashing) vs %.1f ms (all pairs): %.0fx (%d %d)\n", dup_fast,
              dup_slow, dup_slow / dup_fast, ok1, ok2);
  std::filesystem::remove_all(dir);
  return rc == 0 ? 0 : 1;
}
