// CSV splitting of 10 MB (100,000 rows of 10 fields with quotes and double-
// byte text) against Python's csv module on the same bytes in the same run.
// The rules differ (Python removes quotes, this engine keeps them), so only
// the throughput compares.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "data/csv_split.h"

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

std::string make_text() {
  std::mt19937 rng(3);
  const char* words[] = {"alpha", "\x82\xA0\x82\xA2\x82\xA4", "\"quoted, text\"", "1234", "\x95\x5C\x8E\xA6",
                         "  padded", "'single'", "x"};
  std::string text;
  for (int row = 0; row < 100000; ++row) {
    for (int f = 0; f < 10; ++f) {
      if (f) text += ',';
      for (int w = 0; w < 2; ++w) text += words[rng() % 8];
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace

int main() {
  std::string text = make_text();
  double best = 1e9;
  size_t count = 0;
  for (int r = 0; r < 5; ++r) {
    double t = now();
    count = nv::csv::split(text).count;
    best = std::min(best, now() - t);
  }
  double ours = text.size() / best / 1e6;
  std::printf("%.1f MB, %zu elements\n", text.size() / 1e6, count);
  std::printf("csv split (elements as views):  %7.1f MB/s\n", ours);

  auto path = std::filesystem::temp_directory_path() / "nivalo-csv-bench.csv";
  std::ofstream(path, std::ios::binary) << text;
  std::string cmd =
      "python3 -c \"import csv,io,sys,time\n"
      "t=open(sys.argv[1],encoding='latin-1',newline='').read()\n"
      "b=1e9\n"
      "for _ in range(5):\n"
      "  s=time.perf_counter(); n=sum(len(r)+1 for r in csv.reader(io.StringIO(t))); b=min(b,time.perf_counter()-s)\n"
      "print(len(t)/b/1e6)\" " +
      path.string();
  FILE* p = ::popen(cmd.c_str(), "r");
  double python = 0;
  if (!p || std::fscanf(p, "%lf", &python) != 1) {
    std::printf("python3 csv: not run\n");
  } else {
    std::printf("python3 csv.reader:             %7.1f MB/s\n", python);
    std::printf("ours / python: %.1fx\n", ours / python);
  }
  if (p) ::pclose(p);
  std::filesystem::remove(path);
  return 0;
}
