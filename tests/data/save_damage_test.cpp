// Damaged save files: whatever the bytes, loading a record gives the record
// or a numbered error, never a read outside the file (the sanitizer builds
// run these too) and never a huge allocation.
#include <set>

#include "tests/data/save_test_support.h"

namespace nv::save::test {
namespace {

struct Sample {
  Bytes file;
  std::vector<uint32_t> numbers;  // data numbers present, in file order
  std::vector<size_t> ends;       // end offset of each record
};

const Sample& sample() {
  static const Sample s = [] {
    Sample out;
    std::vector<Bytes> records = {int_record(1, {}, {42}), text_record(4, {2, 2}, {"a", "\x95\x5C", "", "long text"}),
                                  image_record(7, 3, 2, 1, true), int_record(1024, {3}, {1, 2, 3})};
    out.file = merge(nullptr, records);
    size_t end = kHeadSize;
    for (const Bytes& r : records) {
      out.numbers.push_back(record_data_number(r));
      end += r.size();
      out.ends.push_back(end);
    }
    return out;
  }();
  return s;
}

const std::set<uint32_t> kFileErrors = {kErrBadFile, kErrVersion, kErrNoRecord, kErrDataError, kErrArrayTooLarge,
                                        kErrImageData};

TEST(SaveDamage, EveryTruncation) {
  const Sample& s = sample();
  for (size_t len = 0; len < s.file.size(); ++len) {
    Bytes cut(s.file.begin(), s.file.begin() + len);
    for (size_t k = 0; k < s.numbers.size(); ++k) {
      uint32_t want = len >= s.ends[k] ? kOk : kErrBadFile;
      ASSERT_EQ(load(cut, s.numbers[k]), want) << "length " << len << ", record " << s.numbers[k];
    }
    if (len >= kHeadSize) {
      ASSERT_EQ(load(cut, 2), kErrNoRecord);
    }
  }
}

TEST(SaveDamage, BitFlipsInTheHead) {
  const Sample& s = sample();
  for (size_t byte = 0; byte < 16; ++byte) {
    for (int bit = 0; bit < 8; ++bit) {
      Bytes f = s.file;
      f[byte] ^= uint8_t(1 << bit);
      uint32_t want = byte < 4 ? kErrBadFile : byte < 8 ? kErrVersion : byte < 12 ? kOk : kErrBadFile;
      for (uint32_t dno : s.numbers) ASSERT_EQ(load(f, dno), want) << "byte " << byte << " bit " << bit;
    }
  }
}

TEST(SaveDamage, BitFlipsInTheTable) {
  // A changed entry points at no record of its number: present or absent
  // numbers alike give 108030; the other records still load.
  const Sample& s = sample();
  for (uint32_t dno : {1u, 2u, 4u, 7u, 1000u, 1024u}) {
    for (int bit = 0; bit < 32; ++bit) {
      Bytes f = s.file;
      size_t at = kTableOffset + 4 * (dno - 1);
      set_u32(f, at, get_u32(f, at) ^ (1u << bit));
      ASSERT_EQ(load(f, dno), kErrBadFile) << "entry " << dno << " bit " << bit;
      for (uint32_t other : s.numbers) {
        if (other == dno) continue;
        ASSERT_EQ(load(f, other), kOk);
      }
    }
  }
}

TEST(SaveDamage, BitFlipsInRecordHeads) {
  const Sample& s = sample();
  for (size_t k = 0; k < s.numbers.size(); ++k) {
    size_t at = k == 0 ? kHeadSize : s.ends[k - 1];
    for (size_t byte = 0; byte < kRecordHeadSize; ++byte) {
      for (int bit = 0; bit < 8; ++bit) {
        Bytes f = s.file;
        f[at + byte] ^= uint8_t(1 << bit);
        uint32_t got = load(f, s.numbers[k]);
        if (byte < 4) {
          EXPECT_EQ(got, kErrBadFile);  // another data number
        } else if (byte == 4) {
          // The other kind is read by its own rules and refused; any other kind is unknown.
          EXPECT_EQ(got, bit == 0 ? (s.numbers[k] == 7 ? kErrDataError : kErrImageData) : kErrBadFile)
              << "record " << s.numbers[k] << " bit " << bit;
        } else if (byte < 8) {
          EXPECT_EQ(got, kOk);  // the constant bytes are not read
        } else if (byte < 12) {
          // A longer compressed size that still lies inside the file takes
          // the next record's bytes after the stream, which inflating ignores.
          EXPECT_TRUE(got == kOk || kFileErrors.count(got)) << "record " << s.numbers[k] << " bit " << bit;
        } else {
          EXPECT_TRUE(kFileErrors.count(got)) << "record " << s.numbers[k] << " byte " << byte << " bit " << bit;
        }
      }
    }
  }
}

TEST(SaveDamage, OffsetsAndSizesAtTheirExtremes) {
  const Sample& s = sample();
  const size_t first = kHeadSize;
  for (uint32_t offset : {0u, 1u, 16u, 4111u, uint32_t(s.file.size()), uint32_t(s.file.size() - 15), 0xFFFFFFFFu}) {
    Bytes f = s.file;
    set_u32(f, kTableOffset, offset);
    EXPECT_EQ(load(f, 1), offset == 0 ? kErrNoRecord : kErrBadFile) << offset;
  }
  Bytes f = s.file;
  set_u32(f, first + 8, 0xFFFFFFFF);  // compressed size
  EXPECT_EQ(load(f, 1), kErrBadFile);
  f = s.file;
  set_u32(f, first + 12, 0xFFFFFFFF);  // payload size of variable data
  EXPECT_EQ(load(f, 1), kErrArrayTooLarge);
  f = s.file;
  set_u32(f, s.ends[1] + 12, 0xFFFFFFFF);  // payload size of the image
  EXPECT_EQ(load(f, 7), kErrImageData);
  f = s.file;
  set_u32(f, first + 12, get_u32(f, first + 12) + 1);  // one byte more than the stream holds
  EXPECT_EQ(load(f, 1), kErrDataError);
  f = s.file;
  set_u32(f, first + 12, get_u32(f, first + 12) - 1);  // one byte less
  EXPECT_EQ(load(f, 1), kErrDataError);
  f = s.file;
  set_u32(f, 12, 1023);  // the table's size
  EXPECT_EQ(load(f, 1), kErrBadFile);
}

TEST(SaveDamage, DamagedStreams) {
  const Sample& s = sample();
  for (size_t k = 0; k < s.numbers.size(); ++k) {
    size_t data = (k == 0 ? kHeadSize : s.ends[k - 1]) + kRecordHeadSize;
    for (size_t at = data; at < s.ends[k]; ++at) {
      Bytes f = s.file;
      f[at] ^= 0x55;
      uint32_t got = load(f, s.numbers[k]);
      // Whatever the flip does to the deflate blocks, the adler-32 at the
      // end of the stream no longer matches.
      ASSERT_EQ(got, kErrDataError) << "record " << s.numbers[k] << " at " << at;
    }
  }
}

}  // namespace
}  // namespace nv::save::test
