// Damaged titles run by the nivalo executable (--headless): a small title
// compiled by VIZud, then every truncation of each engine file, offsets and
// counts pointing outside, jumps out of range, variable numbers past the
// table, 4 GiB claimed sizes, deep recursion. Each run must end, within a
// time bound, with exit status 1 and a numbered error, never with a signal,
// a sanitizer report or a hang. The outcome of every kind is printed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "formats/script_key.h"
#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace nv {
namespace {

namespace fs = std::filesystem;
using Files = std::map<std::string, std::vector<uint8_t>>;  // nvbin file name -> bytes

// Long enough for a sanitizer build on a loaded machine; a sound run takes
// a small fraction of it.
constexpr int kTimeLimitSeconds = 30;

const char* const kTitleSource = R"(*SYSTEM_START
INT a[4], n = 0
FLT f = 1.5
STR s = "a"
LOOP[SET=3]
  n += 1
  a[n] = n * 2
  IF a[n] > 4
    s += "b"
  ELSE
    f *= 2
  IFEND
LOOPEND
GOSUB[#=*twice PINT=n]
GO[#=*done]
*twice
n = n * 2
RETURN
*done
END
)";

struct Outcome {
  enum Kind { numbered_error, clean_exit, unnumbered_failure, signal, hang, sanitizer } kind;
  std::string detail;  // the error number, the signal, the text
};

const char* kind_name(Outcome::Kind k) {
  switch (k) {
    case Outcome::numbered_error: return "numbered error, exit 1";
    case Outcome::clean_exit: return "ran to its end, exit 0";
    case Outcome::unnumbered_failure: return "failed without a numbered error";
    case Outcome::signal: return "killed by a signal";
    case Outcome::hang: return "did not end in time";
    case Outcome::sanitizer: return "sanitizer report";
  }
  return "?";
}

std::vector<uint8_t> read_bytes(const fs::path& p) {
  std::string s = test::slurp(p);
  return {s.begin(), s.end()};
}

void write_bytes(const fs::path& p, const std::vector<uint8_t>& b) {
  std::ofstream(p, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(b.data()),
                                                             static_cast<std::streamsize>(b.size()));
}

// Runs nivalo on `dir` with standard error in `err`, killing it after the
// time limit.
Outcome run_title(const fs::path& dir) {
  fs::remove(dir / "info.txt");
  const fs::path err = dir / "stderr.txt";
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::string exe = NIVALO_PATH, title = dir.string();
  std::vector<char*> argv = {exe.data(), const_cast<char*>("--headless"), const_cast<char*>("--frames"),
                             const_cast<char*>("600"), title.data(), nullptr};
  pid_t pid = 0;
  int rc = posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) return {Outcome::unnumbered_failure, "cannot start nivalo"};
  int status = 0;
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(kTimeLimitSeconds);
  bool hung = false;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > until) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      hung = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  std::string text = test::slurp(err);
  if (hung) return {Outcome::hang, ""};
  if (text.find("Sanitizer") != std::string::npos || text.find("runtime error:") != std::string::npos)
    return {Outcome::sanitizer, text.substr(0, 2000)};
  if (WIFSIGNALED(status)) return {Outcome::signal, strsignal(WTERMSIG(status))};
  int code = WEXITSTATUS(status);
  if (code == 0) return {Outcome::clean_exit, ""};
  static const std::regex numbered("nivalo: error ([0-9]+)\n");
  std::smatch m;
  if (code == 1 && std::regex_search(text, m, numbered)) return {Outcome::numbered_error, m[1]};
  return {Outcome::unnumbered_failure, "exit " + std::to_string(code) + ": " + text.substr(0, 300)};
}

// --- little-endian patches; the areas of a compiled script are scrambled --

uint32_t get32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + size_t(k)] = static_cast<uint8_t>(v >> (8 * k));
}
void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// A compiled script with its areas descrambled, and back.
struct Script {
  std::vector<uint8_t> b;
  uint32_t n = 0, code = 32, args = 0, res = 0, lines = 0, arg_size = 0, res_size = 0;

  explicit Script(std::vector<uint8_t> file) : b(std::move(file)) {
    n = get32(b, 8);
    arg_size = get32(b, 16);
    res_size = get32(b, 20);
    args = code + get32(b, 12);
    res = args + arg_size;
    lines = res + res_size;
    each_area([&](size_t at, size_t size) { scramble(&b[at], size, script_key()); });
  }
  std::vector<uint8_t> file() const {
    std::vector<uint8_t> out = b;
    each_area([&](size_t at, size_t size) { scramble(&out[at], size, script_key()); });
    return out;
  }
  void each_area(const std::function<void(size_t, size_t)>& f) const {
    f(code, args - code);
    f(args, res - args);
    f(res, lines - res);
    f(lines, b.size() - lines);
  }
  size_t records() const { return arg_size / 12; }
  size_t record(size_t r) const { return args + 12 * r; }
};

// The variable tokens of every expression of `s`: their positions (of the
// uint16 number) in the descrambled file.
std::vector<size_t> variable_numbers(const Script& s) {
  std::vector<size_t> at;
  for (size_t r = 0; r < s.records(); ++r) {
    size_t rec = s.record(r);
    uint32_t size = get32(s.b, rec + 4), off = get32(s.b, rec + 8);
    if (off > s.res_size || size > s.res_size - off) continue;  // a jump target, not an expression
    for (size_t p = s.res + off, end = p + size; p + 3 <= end;) {
      uint8_t op = s.b[p];
      size_t len = s.b[p + 1] | size_t(s.b[p + 2]) << 8;
      if ((op == 'H' || op == 'V' || op == 'v') && len == 3) at.push_back(p + 4);
      p += 3 + len;
    }
  }
  return at;
}

// nvv.nbn: the position of every record and of its fields.
struct VarRecord {
  size_t at, number, dims_at;
  uint8_t type, dim_count;
};
std::vector<VarRecord> var_records(const std::vector<uint8_t>& b) {
  std::vector<VarRecord> out;
  size_t count = b[8] | size_t(b[9]) << 8, p = 10;
  for (size_t i = 0; i < count && p + 7 <= b.size(); ++i) {
    VarRecord r{p, p + 3, p + 7, b[p + 5], b[p + 6]};
    p = r.dims_at + 4 * size_t(r.dim_count);
    if (r.type == 1 || r.type == 2) p += 8;
    else if (r.type == 3 && p + 2 <= b.size()) p += 2 + (b[p] | size_t(b[p + 1]) << 8);
    out.push_back(r);
  }
  return out;
}

// One damaged title: its name, kind and files.
struct Damaged {
  std::string kind;  // what the summary counts by
  std::string what;
  Files files;
};

class HostileTitle : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    base_dir_ = new test::TempDir;
    base_dir_->write("title.cfg", "width = 320\nheight = 240\n");
    base_dir_->write("main.nvs", kTitleSource);
    std::string out = test::output_of(std::string(VIZUD_PATH) + " --quiet " + test::quoted(base_dir_->path()) + " 2>&1");
    base_ = new Files;
    for (const auto& f : fs::directory_iterator(base_dir_->path() / "nvbin"))
      (*base_)[f.path().filename().string()] = read_bytes(f.path());
    compile_output_ = new std::string(out);
  }
  static void TearDownTestSuite() {
    delete base_dir_;
    delete base_;
    delete compile_output_;
  }

  // Runs every damaged title, two at a time, and prints how each kind ended.
  // Returns the runs that ended in an outcome not in `allowed` for its kind.
  std::vector<std::string> run_all(const std::vector<Damaged>& titles,
                                   const std::map<std::string, std::vector<Outcome::Kind>>& allowed = {}) {
    std::vector<Outcome> outcomes(titles.size());
    const int workers = 2;
    std::vector<std::thread> pool;
    std::vector<test::TempDir> dirs(workers);
    for (int w = 0; w < workers; ++w) {
      pool.emplace_back([&, w] {
        const fs::path dir = dirs[size_t(w)].path();
        fs::create_directories(dir / "nvbin");
        for (const auto& [name, bytes] : *base_) write_bytes(dir / "nvbin" / name, bytes);
        for (size_t i = size_t(w); i < titles.size(); i += workers) {
          for (const auto& [name, bytes] : titles[i].files) write_bytes(dir / "nvbin" / name, bytes);
          outcomes[i] = run_title(dir);
          for (const auto& [name, bytes] : titles[i].files) {
            auto it = base_->find(name);
            if (it == base_->end()) fs::remove(dir / "nvbin" / name);
            else if (bytes != it->second) write_bytes(dir / "nvbin" / name, it->second);
          }
        }
      });
    }
    for (auto& t : pool) t.join();

    std::map<std::string, std::map<std::string, int>> summary;  // kind -> outcome -> count
    std::vector<std::string> bad;
    for (size_t i = 0; i < titles.size(); ++i) {
      const Outcome& o = outcomes[i];
      std::string key = kind_name(o.kind);
      if (o.kind == Outcome::numbered_error) key = "error " + o.detail;
      ++summary[titles[i].kind][key];
      auto ok = allowed.find(titles[i].kind);
      bool fine = o.kind == Outcome::numbered_error ||
                  (ok != allowed.end() && std::find(ok->second.begin(), ok->second.end(), o.kind) != ok->second.end());
      if (!fine) bad.push_back(titles[i].what + ": " + kind_name(o.kind) + " " + o.detail);
    }
    for (const auto& [kind, counts] : summary) {
      int total = 0;
      std::string line;
      for (const auto& [outcome, n] : counts) {
        total += n;
        line += "  " + outcome + " x" + std::to_string(n);
      }
      std::printf("[hostile] %-40s %5d titles:%s\n", kind.c_str(), total, line.c_str());
    }
    std::fflush(stdout);
    return bad;
  }

  static Damaged with(const std::string& kind, const std::string& what, const std::string& file,
                      std::vector<uint8_t> bytes) {
    return {kind, what, Files{{file, std::move(bytes)}}};
  }

  static test::TempDir* base_dir_;
  static Files* base_;
  static std::string* compile_output_;
};

test::TempDir* HostileTitle::base_dir_ = nullptr;
Files* HostileTitle::base_ = nullptr;
std::string* HostileTitle::compile_output_ = nullptr;

std::string join(const std::vector<std::string>& v, size_t most = 20) {
  std::string s;
  for (size_t i = 0; i < v.size() && i < most; ++i) s += v[i] + "\n";
  if (v.size() > most) s += "... " + std::to_string(v.size() - most) + " more\n";
  return s;
}

TEST_F(HostileTitle, TheUndamagedTitleRunsToItsEnd) {
  ASSERT_GE(base_->size(), 8u) << *compile_output_;
  Outcome o = run_title(base_dir_->path());
  EXPECT_EQ(o.kind, Outcome::clean_exit) << kind_name(o.kind) << " " << o.detail;
}

// Every engine file cut short: the small ones (the script, its list and
// index, the configuration) at every length from empty to one byte short;
// the large tables (commands, errors, variables, labels: 1 to 11 KB of
// records alike) at every length in their first and last 32 bytes and at
// every 127th between (a prime, so that the cuts fall in every field of a
// record), which keeps the suite to a few minutes.
TEST_F(HostileTitle, EveryTruncationOfEveryEngineFile) {
  ASSERT_GE(base_->size(), 8u) << *compile_output_;
  std::vector<Damaged> titles;
  for (const auto& [name, bytes] : *base_) {
    const size_t n = bytes.size();
    for (size_t len = 0; len < n; ++len) {
      if (n > 512 && len >= 32 && len + 32 < n && len % 127 != 0) continue;
      titles.push_back(with("truncated " + name, name + " cut to " + std::to_string(len),
                            name, std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(len))));
    }
  }
  std::printf("[hostile] %zu truncated titles\n", titles.size());
  std::vector<std::string> bad = run_all(titles);
  EXPECT_TRUE(bad.empty()) << join(bad);
}

// Offsets, sizes, counts and jump targets of the compiled script pointing
// outside its areas, and claimed sizes of 4 GiB.
TEST_F(HostileTitle, ScriptFieldsPointingOutside) {
  ASSERT_TRUE(base_->count("nvt00000.nbn")) << *compile_output_;
  const Script s(base_->at("nvt00000.nbn"));
  std::vector<Damaged> titles;
  auto add = [&](const std::string& kind, const std::string& what, const std::function<void(Script&)>& f) {
    Script d = s;
    f(d);
    titles.push_back(with(kind, what, "nvt00000.nbn", d.file()));
  };
  auto raw = [&](const std::string& kind, const std::string& what, size_t at, uint32_t v) {
    std::vector<uint8_t> b = s.file();
    put32(b, at, v);
    titles.push_back(with(kind, what, "nvt00000.nbn", b));
  };
  for (size_t at : {8, 12, 16, 20, 24}) {
    raw("script header: 4 GiB", "header word " + std::to_string(at) + " = 0xFFFFFFFF", at, 0xFFFFFFFFu);
    raw("script header: one more", "header word " + std::to_string(at) + " + 4", at, get32(s.file(), at) + 4);
  }
  for (size_t r = 0; r < s.records(); ++r) {
    const std::string rec = "record " + std::to_string(r);
    const size_t at = s.record(r);
    add("record offset outside", rec + " offset past the resources",
        [&](Script& d) { put32(d.b, at + 8, d.res_size + 1); });
    add("record offset outside", rec + " offset 0xFFFFFFF0", [&](Script& d) { put32(d.b, at + 8, 0xFFFFFFF0u); });
    add("record size outside", rec + " size 0x7FFFFFFF (also a jump far out)",
        [&](Script& d) { put32(d.b, at + 4, 0x7FFFFFFFu); });
    add("record size outside", rec + " size 0xFFFFFFFF (also a jump to -1)",
        [&](Script& d) { put32(d.b, at + 4, 0xFFFFFFFFu); });
    add("jump to the instruction count", rec + " size = instruction count",
        [&](Script& d) { put32(d.b, at + 4, d.n); });
    add("record keyword past the command", rec + " keyword 200", [&](Script& d) { d.b[at] = 200; });
    add("record selector out of range", rec + " selector 9", [&](Script& d) { d.b[at + 2] = 9; });
    add("record operator out of range", rec + " assignment operator 40", [&](Script& d) { d.b[at + 3] = 40; });
  }
  for (uint32_t i = 0; i < s.n; ++i) {
    const std::string ins = "instruction " + std::to_string(i);
    const size_t at = s.code + 4 * size_t(i);
    add("argument count past the records", ins + " argument count 255", [&](Script& d) { d.b[at + 1] = 255; });
    add("command number out of range", ins + " command 250", [&](Script& d) { d.b[at] = 250; });
  }
  for (size_t at : variable_numbers(s)) {
    add("variable number past the table", "variable token at " + std::to_string(at) + " = 65535",
        [&](Script& d) { put16(d.b, at, 0xFFFF); });
  }
  std::printf("[hostile] %zu damaged scripts\n", titles.size());
  // A field the instruction does not read (the offset of a record that
  // holds a jump target, the records of LABEL, a selector or operator of a
  // record evaluated as text) leaves the title sound, and a jump to the
  // instruction count ends the script where its end would: those may run
  // to their end. Every other ending is a numbered error.
  const std::vector<Outcome::Kind> may_run = {Outcome::clean_exit};
  std::vector<std::string> bad = run_all(titles, {{"record keyword past the command", may_run},
                                                  {"record selector out of range", may_run},
                                                  {"record operator out of range", may_run},
                                                  {"record offset outside", may_run},
                                                  {"record size outside", may_run},
                                                  {"jump to the instruction count", may_run}});
  EXPECT_TRUE(bad.empty()) << join(bad);
}

// The tables: counts claiming 4 GiB, entries pointing outside.
TEST_F(HostileTitle, TableFieldsPointingOutside) {
  ASSERT_GE(base_->size(), 8u) << *compile_output_;
  std::vector<Damaged> titles;
  auto word = [&](const std::string& kind, const std::string& file, size_t at, uint32_t v) {
    std::vector<uint8_t> b = base_->at(file);
    put32(b, at, v);
    titles.push_back(with(kind, file + " word at " + std::to_string(at) + " = " + std::to_string(v), file, b));
  };
  for (const char* f : {"nvc.nbn", "nve.nbn", "nvt_list.nbn", "nvl.nbn", "nvcfg.nbn"}) {
    word("count: 4 GiB", f, 8, 0xFFFFFFFFu);
    word("count: 4 GiB", f, 8, 0x7FFFFFFFu);
    word("count: one more", f, 8, get32(base_->at(f), 8) + 1);
  }
  // nvt.nbn's count is the highest variable number: a larger table is sound.
  word("variable table size: 4 GiB", "nvt.nbn", 8, 0xFFFFFFFFu);
  word("variable table size: 4 GiB", "nvt.nbn", 8, 0x7FFFFFFFu);
  word("variable table size: below the variables", "nvt.nbn", 8, 1000);
  word("variable table size: one more", "nvt.nbn", 8, get32(base_->at("nvt.nbn"), 8) + 1);
  // The script list: name length and instruction count.
  word("script list entry outside", "nvt_list.nbn", 16, 0xFFFFFFFFu);
  word("script list entry outside", "nvt_list.nbn", 12, 0xFFFFu);
  // Labels: bucket, instruction index, script number.
  const std::vector<uint8_t>& nvl = base_->at("nvl.nbn");
  for (size_t b = 0; b < 256; b += 51) word("label bucket outside", "nvl.nbn", 12 + 4 * b, 0xFFFFFFFFu);
  for (size_t p = 1036; p < nvl.size();) {
    size_t len = nvl[p];
    size_t fields = p + 1 + len;
    word("label instruction outside", "nvl.nbn", fields + 4, 0x7FFFFFFFu);
    word("label instruction outside", "nvl.nbn", fields + 4, 0xFFFFFFFFu);
    std::vector<uint8_t> b = nvl;
    put16(b, fields + 8, 0xFFFF);
    titles.push_back(with("label script outside", "label at " + std::to_string(p) + " script 65535", "nvl.nbn", b));
    b = nvl;
    b[p] = 255;
    titles.push_back(with("label name length outside", "label at " + std::to_string(p) + " length 255", "nvl.nbn", b));
    p = fields + 12;
  }
  // Variables: numbers past the table, shapes of 4 GiB and more, text
  // lengths past the file, the record count.
  const std::vector<uint8_t>& nvv = base_->at("nvv.nbn");
  {
    std::vector<uint8_t> b = nvv;
    put16(b, 8, 0xFFFF);
    titles.push_back(with("variable record count outside", "nvv count 65535", "nvv.nbn", b));
  }
  for (const VarRecord& r : var_records(nvv)) {
    auto patch = [&](const std::string& kind, const std::function<void(std::vector<uint8_t>&)>& f) {
      std::vector<uint8_t> b = nvv;
      f(b);
      titles.push_back(with(kind, "nvv record at " + std::to_string(r.at) + ": " + kind, "nvv.nbn", b));
    };
    const bool user = (nvv[r.number] | nvv[r.number + 1] << 8) >= 1000;
    if (!user) continue;  // the system records are alike; the title's own are damaged
    patch("variable number past the table", [&](auto& b) { put16(b, r.number, 0xFFFF); });
    patch("variable dimension count outside", [&](auto& b) { b[r.dims_at - 1] = 200; });
    patch("variable type outside", [&](auto& b) { b[r.dims_at - 2] = 9; });
    if (r.dim_count > 0) {
      patch("variable shape of 4 GiB", [&](auto& b) { put32(b, r.dims_at, 0x7FFFFFFFu); });
      patch("variable shape negative", [&](auto& b) { put32(b, r.dims_at, 0xFFFFFFFFu); });
    }
    if (r.type == 3) {
      size_t len_at = r.dims_at + 4 * size_t(r.dim_count);
      patch("variable text length outside", [&](auto& b) { put16(b, len_at, 0xFFFF); });
    }
  }
  std::printf("[hostile] %zu damaged tables\n", titles.size());
  // A label bucket that is off only makes the search start earlier or later;
  // a changed word the engine does not read leaves the title sound.
  std::vector<std::string> bad = run_all(titles, {{"label bucket outside", {Outcome::clean_exit}},
                                                  {"variable table size: one more", {Outcome::clean_exit}}});
  EXPECT_TRUE(bad.empty()) << join(bad);
}

// Valid titles that recurse without end: GOSUB into itself, and an
// expression nested past the evaluator's limit.
TEST_F(HostileTitle, DeepRecursionEndsWithANumberedError) {
  std::vector<Damaged> titles;
  const std::vector<std::pair<std::string, std::string>> sources = {
      {"GOSUB into itself", "*SYSTEM_START\n*again\nGOSUB[#=*again]\nEND\n"},
      {"GOSUB into itself inside 63 IF and 63 LOOP levels", [] {
         std::string s = "*SYSTEM_START\nINT n = 1\n*again\n";
         for (int i = 0; i < 63; ++i) s += "IF n\nLOOP[SET=2]\n";
         s += "GOSUB[#=*again]\n";
         for (int i = 0; i < 63; ++i) s += "LOOPEND\nIFEND\n";
         return s + "END\n";
       }()},
      {"element references nested 200 deep", [] {
         std::string e = "0";
         for (int i = 0; i < 200; ++i) e = "a[" + e + "]";
         return "*SYSTEM_START\nINT a[4], x = 0\nx = " + e + "\nEND\n";
       }()},
  };
  for (const auto& [what, source] : sources) {
    test::TempDir dir;
    dir.write("title.cfg", "width = 320\nheight = 240\n");
    dir.write("main.nvs", source);
    std::string out = test::output_of(std::string(VIZUD_PATH) + " --quiet " + test::quoted(dir.path()) + " 2>&1");
    Files files;
    if (fs::exists(dir.path() / "nvbin"))
      for (const auto& f : fs::directory_iterator(dir.path() / "nvbin"))
        files[f.path().filename().string()] = read_bytes(f.path());
    if (files.empty()) {
      std::printf("[hostile] %s: refused by the compiler: %s\n", what.c_str(), out.substr(0, out.find('\n')).c_str());
      continue;
    }
    // The base title's files the source did not produce stay as they are.
    for (const auto& [name, bytes] : *base_)
      if (!files.count(name)) files[name] = bytes;
    titles.push_back({"deep recursion: " + what, what, files});
  }
  ASSERT_FALSE(titles.empty());
  std::vector<std::string> bad = run_all(titles);
  EXPECT_TRUE(bad.empty()) << join(bad);
}

}  // namespace
}  // namespace nv
