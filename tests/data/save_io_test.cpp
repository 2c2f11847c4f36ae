// Pending records written into files of the save folder and read back.
#include "data/save_io.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/data/save_test_support.h"
#include "tests/support/temp_dir.h"

namespace nv::save::test {
namespace {

namespace fs = std::filesystem;

int64_t load_int(const platform::FileSystem& files, std::string_view path, uint32_t dno, uint32_t* error = nullptr) {
  RecordHead head;
  Bytes stream, payload;
  uint32_t e = read_record(files, path, dno, head, stream);
  if (e == kOk) e = inflate_record(head, stream, payload);
  VariablePayload v;
  if (e == kOk) e = decode_variable_payload(payload, v);
  if (error) *error = e;
  return e == kOk ? v.integer_at(0) : -1;
}

TEST(SaveIo, WritesCreatesTheFolderAndEmptiesTheSlots) {
  nv::test::TempDir dir;
  platform::FileSystem files(dir.str());
  PendingSlots slots;
  slots.records[0] = int_record(1, {}, {11});
  slots.records[2] = int_record(3, {}, {33});
  EXPECT_TRUE(slots.filled(3));
  WriteResult r = write_pending(slots, files, "save\\", "save\\slot.sd");
  ASSERT_EQ(r.code, kOk) << r.text;
  EXPECT_FALSE(slots.any());
  EXPECT_TRUE(fs::is_regular_file(dir.path() / "save" / "slot.sd"));
  EXPECT_EQ(load_int(files, "save\\slot.sd", 1), 11);
  EXPECT_EQ(load_int(files, "save/slot.sd", 3), 33);

  // The next write merges; a name that differs in case finds the same file.
  slots.records[2] = int_record(3, {}, {34});
  slots.records[1] = int_record(2, {}, {22});
  ASSERT_EQ(write_pending(slots, files, "save\\", "SAVE\\Slot.SD").code, kOk);
  EXPECT_EQ(fs::directory_iterator(dir.path() / "save")->path().filename(), "slot.sd");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "save"), fs::directory_iterator()), 1);
  EXPECT_EQ(load_int(files, "save\\slot.sd", 1), 11);
  EXPECT_EQ(load_int(files, "save\\slot.sd", 2), 22);
  EXPECT_EQ(load_int(files, "save\\slot.sd", 3), 34);
}

TEST(SaveIo, AFileOfAnotherKindIsNeverTouched) {
  nv::test::TempDir dir;
  platform::FileSystem files(dir.str());
  dir.write("save/notes.sd", "plain text, not a save");
  Bytes before = read_host(dir.path() / "save" / "notes.sd");
  PendingSlots slots;
  slots.records[4] = int_record(5, {}, {5});
  EXPECT_EQ(write_pending(slots, files, "save\\", "save\\notes.sd").code, kErrBadFile);
  EXPECT_TRUE(slots.filled(5));
  EXPECT_EQ(read_host(dir.path() / "save" / "notes.sd"), before);

  Bytes other = merge(nullptr, {int_record(1, {}, {1})});
  set_u32(other, 4, 191);
  dir.write("save/old.sd", std::string(other.begin(), other.end()));
  EXPECT_EQ(write_pending(slots, files, "save\\", "save\\old.sd").code, kErrVersion);
  EXPECT_EQ(read_host(dir.path() / "save" / "old.sd"), other);
  EXPECT_TRUE(slots.filled(5));
}

TEST(SaveIo, AFailedWriteKeepsTheSlotsAndReportsTheHostError) {
  nv::test::TempDir dir;
  platform::FileSystem files(dir.str());
  dir.write("save", "a file where the folder should be");
  PendingSlots slots;
  slots.records[0] = int_record(1, {}, {1});
  WriteResult r = write_pending(slots, files, "save\\", "save\\slot.sd");
  EXPECT_EQ(r.code, kErrCannotWrite);
  EXPECT_EQ(r.error, ENOTDIR);
  EXPECT_EQ(r.text, std::strerror(ENOTDIR));
  EXPECT_TRUE(slots.filled(1));
}

TEST(SaveIo, ReadingRecords) {
  nv::test::TempDir dir;
  platform::FileSystem files(dir.str());
  uint32_t e = 0;
  load_int(files, "save\\none.sd", 1, &e);
  EXPECT_EQ(e, kErrNoFile);
  Bytes file = merge(nullptr, {int_record(2, {}, {2})});
  dir.write("save/a.sd", std::string(file.begin(), file.end()));
  load_int(files, "save\\a.sd", 1, &e);
  EXPECT_EQ(e, kErrNoRecord);
  EXPECT_EQ(load_int(files, "save\\a.sd", 2), 2);
  // Cut inside the record: the head reads, the record does not.
  dir.write("save/a.sd", std::string(file.begin(), file.end() - 1));
  load_int(files, "save\\a.sd", 2, &e);
  EXPECT_EQ(e, kErrBadFile);
  dir.write("save/a.sd", std::string(file.begin(), file.begin() + 100));
  load_int(files, "save\\a.sd", 2, &e);
  EXPECT_EQ(e, kErrBadFile);
  set_u32(file, kTableOffset + 4, 0xFFFFFFF0);
  dir.write("save/a.sd", std::string(file.begin(), file.end()));
  load_int(files, "save\\a.sd", 2, &e);
  EXPECT_EQ(e, kErrBadFile);
}

}  // namespace
}  // namespace nv::save::test

namespace nv::save {
namespace {

TEST(SaveIo, ErrorNumbersOfTheMessage) {
  EXPECT_EQ(message_error_number(ENOSPC), 28);
  EXPECT_EQ(message_error_number(EACCES), 13);
  EXPECT_EQ(message_error_number(ERANGE), 34);
  EXPECT_EQ(message_error_number(EDEADLK), 36);
  EXPECT_EQ(message_error_number(ENAMETOOLONG), -1);
  EXPECT_EQ(message_error_number(EDQUOT), -1);
}

}  // namespace
}  // namespace nv::save
