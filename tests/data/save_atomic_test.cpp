// Saving over an existing save, killed or failing at every step of the
// write: the file on disk always holds every old record or every new one.
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/file_replace.h"
#include "tests/data/save_test_support.h"
#include "tests/support/temp_dir.h"

namespace nv::save::test {
namespace {

namespace fs = std::filesystem;

void write_file(const fs::path& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

size_t temporaries_in(const fs::path& dir) {
  size_t n = 0;
  for (const auto& e : fs::directory_iterator(dir)) n += e.path().extension() == ".nvtmp";
  return n;
}

// The integer stored in record `dno`, or -1 when it does not load.
int64_t value_of(const Bytes& file, uint32_t dno) {
  Bytes payload;
  RecordHead head;
  if (load(file, dno, payload, head) != kOk) return -1;
  VariablePayload v;
  if (decode_variable_payload(payload, v) != kOk || v.type != kInteger) return -1;
  return v.integer_at(0);
}

class SaveAtomic : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<Bytes> old_records;
    for (uint32_t dno = 1; dno <= 5; ++dno) old_records.push_back(int_record(dno, {}, {100 + dno}));
    old_file = merge(nullptr, old_records);
    // The new save replaces 2 and 4 and adds 6: a rewrite of the whole file.
    fresh = {int_record(2, {}, {202}), int_record(4, {}, {204}), int_record(6, {}, {206})};
    spans.assign(fresh.begin(), fresh.end());
    ASSERT_EQ(plan_file(&old_file, spans, plan), kOk);
    path = dir.path() / "slot.sd";
    write_file(path, old_file);
    ::unsetenv(platform::kReplaceFaultVariable);
  }
  void TearDown() override { ::unsetenv(platform::kReplaceFaultVariable); }

  int steps() const { return static_cast<int>(plan.pieces.size()) + 4; }
  int rename_step() const { return static_cast<int>(plan.pieces.size()) + 3; }

  void expect_all_old(const Bytes& file) const {
    EXPECT_EQ(file, old_file);
    for (uint32_t dno = 1; dno <= 5; ++dno) EXPECT_EQ(value_of(file, dno), 100 + dno);
    EXPECT_EQ(load(file, 6), kErrNoRecord);
  }
  void expect_all_new(const Bytes& file) const {
    const int64_t want[] = {101, 202, 103, 204, 105, 206};
    for (uint32_t dno = 1; dno <= 6; ++dno) EXPECT_EQ(value_of(file, dno), want[dno - 1]) << dno;
  }

  nv::test::TempDir dir;
  fs::path path;
  Bytes old_file;
  std::vector<Bytes> fresh;
  std::vector<std::span<const uint8_t>> spans;
  FilePlan plan;
};

TEST_F(SaveAtomic, KilledAtEveryStep) {
  for (int step = 1; step <= steps(); ++step) {
    SCOPED_TRACE("killed after step " + std::to_string(step));
    write_file(path, old_file);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::setenv(platform::kReplaceFaultVariable, (std::to_string(step) + ":kill").c_str(), 1);
      platform::replace_file(path.string(), plan.pieces);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    Bytes on_disk = read_host(path);
    if (step < rename_step()) {
      expect_all_old(on_disk);
      EXPECT_EQ(temporaries_in(dir.path()), 1u);  // the dead writer's temporary stays behind
    } else {
      expect_all_new(on_disk);
    }

    // The next save is not hindered by what the dead one left, and clears it.
    platform::ReplaceResult r = platform::replace_file(path.string(), plan.pieces);
    ASSERT_TRUE(r.ok()) << r.text;
    expect_all_new(read_host(path));
    EXPECT_EQ(temporaries_in(dir.path()), 0u);
  }
}

TEST_F(SaveAtomic, FullDiskAtEveryStep) {
  for (int step = 1; step <= steps(); ++step) {
    SCOPED_TRACE("ENOSPC after step " + std::to_string(step));
    write_file(path, old_file);
    ::setenv(platform::kReplaceFaultVariable, (std::to_string(step) + ":28").c_str(), 1);
    platform::ReplaceResult r = platform::replace_file(path.string(), plan.pieces);
    EXPECT_EQ(r.error, ENOSPC);
    EXPECT_EQ(r.text, std::strerror(ENOSPC));
    if (step < rename_step()) expect_all_old(read_host(path));
    else expect_all_new(read_host(path));  // reported: the folder may not be on the disk yet
    EXPECT_EQ(temporaries_in(dir.path()), 0u);
  }
}

TEST_F(SaveAtomic, PermissionsOfTheOldFileAreKept) {
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(platform::replace_file(path.string(), plan.pieces).ok());
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  expect_all_new(read_host(path));
}

TEST_F(SaveAtomic, AMissingFolderIsReportedWithItsErrorNumber) {
  platform::ReplaceResult r = platform::replace_file((dir.path() / "absent" / "slot.sd").string(), plan.pieces);
  EXPECT_EQ(r.error, ENOENT);
  EXPECT_EQ(r.text, std::strerror(ENOENT));
  if (::geteuid() != 0) {  // root writes into read-only folders
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    r = platform::replace_file(path.string(), plan.pieces);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(r.error, EACCES);
    expect_all_old(read_host(path));
  }
}

}  // namespace
}  // namespace nv::save::test
