// The .sd format: exact bytes of small saves, round trips of every type and
// shape, merging into an old file, and the limits shared by saving and
// loading.
#include <sys/mman.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

#include "tests/data/save_test_support.h"

namespace nv::save::test {
namespace {

Bytes hex(const std::string& text) {
  Bytes out;
  std::istringstream in(text);
  std::string byte;
  while (in >> byte) out.push_back(static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
  return out;
}

// The file of one record, checked field by field; returns the inflated payload.
Bytes single_record_file_payload(const Bytes& record, uint32_t dno, Kind kind) {
  Bytes file = merge(nullptr, {record});
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 16), hex("4E 56 53 44  C0 00 00 00  01 00 00 00  00 04 00 00"));
  for (uint32_t k = 1; k <= kTableEntries; ++k)
    EXPECT_EQ(get_u32(file, 16 + 4 * (k - 1)), k == dno ? 4112u : 0u) << "table entry of " << k;
  EXPECT_EQ(get_u32(file, 4112), dno);
  EXPECT_EQ(file[4116], kind);
  EXPECT_EQ(file[4117], 1);
  EXPECT_EQ(file[4118], 0);
  EXPECT_EQ(file[4119], 0);
  uint32_t c = get_u32(file, 4120);
  EXPECT_EQ(file.size(), 4112u + 16 + c);
  Bytes payload;
  RecordHead head;
  EXPECT_EQ(load(file, dno, payload, head), kOk);
  EXPECT_EQ(head.payload_size, get_u32(file, 4124));
  EXPECT_EQ(payload.size(), head.payload_size);
  return payload;
}

TEST(SaveGolden, OneIntegerElement) {
  Bytes payload = single_record_file_payload(int_record(3, {}, {1234567}), 3, kVariableData);
  EXPECT_EQ(payload, hex("01 00 00 00  00 00 00 00  08 00 00 00  87 D6 12 00 00 00 00 00"));
}

TEST(SaveGolden, OneFloatElement) {
  Bytes payload, record;
  double v = -1.5;
  ASSERT_EQ(encode_floats({}, std::span(&v, 1), payload), kOk);
  ASSERT_EQ(make_record(1, kVariableData, payload, record), kOk);
  EXPECT_EQ(single_record_file_payload(record, 1, kVariableData),
            hex("02 00 00 00  00 00 00 00  08 00 00 00  00 00 00 00 00 00 F8 BF"));
}

TEST(SaveGolden, DoubleByteTextElement) {
  // "表示": the first character's trail byte is 0x5C.
  Bytes payload = single_record_file_payload(text_record(1024, {}, {"\x95\x5C\x8E\xA6"}), 1024, kVariableData);
  EXPECT_EQ(payload, hex("03 00 00 00  00 00 00 00  08 00 00 00  04 00 00 00  95 5C 8E A6"));
}

TEST(SaveGolden, WholeTwoByThreeArrays) {
  Bytes ints = single_record_file_payload(int_record(7, {2, 3}, {1, 2, 3, 4, 5, -1}), 7, kVariableData);
  EXPECT_EQ(ints, hex("01 00 00 00  02 00 00 00  02 00 00 00  03 00 00 00  30 00 00 00 "
                      "01 00 00 00 00 00 00 00  02 00 00 00 00 00 00 00  03 00 00 00 00 00 00 00 "
                      "04 00 00 00 00 00 00 00  05 00 00 00 00 00 00 00  FF FF FF FF FF FF FF FF "));
  Bytes texts = single_record_file_payload(text_record(8, {2, 3}, {"a", "", "bc", "", "", "d"}), 8, kVariableData);
  EXPECT_EQ(texts, hex("03 00 00 00  02 00 00 00  02 00 00 00  03 00 00 00  1C 00 00 00 "
                       "01 00 00 00 61  00 00 00 00  02 00 00 00 62 63  00 00 00 00  00 00 00 00  01 00 00 00 64"));
}

TEST(SaveGolden, Image) {
  Bytes pixels = hex("01 02 03 04  05 06 07 08  09 0A 0B 0C  0D 0E 0F 10  11 12 13 14  15 16 17 18");
  Bytes payload, record;
  ASSERT_EQ(encode_image({3, 2, true}, pixels, payload), kOk);
  ASSERT_EQ(make_record(2, kImageData, payload, record), kOk);
  Bytes got = single_record_file_payload(record, 2, kImageData);
  Bytes want = hex("E0 03 00 00  18 00 00 00");
  Bytes block(992, 0);
  block[600] = 3;
  block[604] = 2;
  std::memcpy(&block[608], "NVLY", 4);
  block[612] = 1;
  want.insert(want.end(), block.begin(), block.end());
  want.insert(want.end(), pixels.begin(), pixels.end());
  EXPECT_EQ(got, want);

  ImagePayload image;
  ASSERT_EQ(decode_image_payload(got, image), kOk);
  EXPECT_EQ(image.info.width, 3);
  EXPECT_EQ(image.info.height, 2);
  EXPECT_TRUE(image.info.alpha);
  EXPECT_EQ(Bytes(image.pixels.begin(), image.pixels.end()), pixels);
  // A block without this engine's marker loads with the alpha flag off.
  std::memset(&got[8 + 608], 0, 4);
  ASSERT_EQ(decode_image_payload(got, image), kOk);
  EXPECT_FALSE(image.info.alpha);
}

TEST(SaveGolden, BothCompressorsWriteStreamsThatInflateAlike) {
  Bytes payload;
  std::vector<int64_t> values(1000);
  for (size_t k = 0; k < values.size(); ++k) values[k] = int64_t(k * k) - 500;
  ASSERT_EQ(encode_integers(Dims{1000}, values, payload), kOk);
  for (Compressor c : {Compressor::zlib, Compressor::libdeflate}) {
    Bytes record;
    ASSERT_EQ(make_record(9, kVariableData, payload, record, c), kOk);
    Bytes file = merge(nullptr, {record});
    Bytes got;
    RecordHead head;
    ASSERT_EQ(load(file, 9, got, head), kOk);
    EXPECT_EQ(got, payload);
    EXPECT_LT(head.compressed_size, payload.size());
  }
}

// ---- round trips ----

TEST(SaveRoundTrip, EveryTypeInOneToEightDimensions) {
  for (int d = 1; d <= 8; ++d) {
    std::vector<int32_t> dims(size_t(d), 2);
    dims[0] = 3;
    size_t count = 3u << (d - 1);
    std::vector<int64_t> ints(count);
    std::vector<double> floats(count);
    std::vector<std::string> texts(count);
    for (size_t k = 0; k < count; ++k) {
      ints[k] = (int64_t(k) << 40) - int64_t(k);
      floats[k] = k % 5 == 0 ? -0.0 : double(k) / 3;
      texts[k] = std::string(k % 4, char('a' + k % 26)) + (k % 3 ? "\x95\x5C" : "");
    }
    floats[1] = std::numeric_limits<double>::infinity();
    Bytes fp, fr;
    ASSERT_EQ(encode_floats(dims, floats, fp), kOk);
    ASSERT_EQ(make_record(2, kVariableData, fp, fr), kOk);
    Bytes file = merge(nullptr, {int_record(1, dims, ints), fr, text_record(3, dims, texts)});

    for (uint32_t dno = 1; dno <= 3; ++dno) {
      Bytes payload;
      RecordHead head;
      ASSERT_EQ(load(file, dno, payload, head), kOk) << "d=" << d << " dno=" << dno;
      VariablePayload v;
      ASSERT_EQ(decode_variable_payload(payload, v), kOk);
      EXPECT_EQ(v.type, dno);
      EXPECT_EQ(std::vector<int32_t>(v.shape().begin(), v.shape().end()), dims);
      ASSERT_EQ(v.count, count);
      for (size_t k = 0; k < count; ++k) {
        if (dno == 1) {
          EXPECT_EQ(v.integer_at(k), ints[k]);
        } else if (dno == 2) {
          EXPECT_EQ(v.float_at(k), floats[k]);
          EXPECT_EQ(std::signbit(v.float_at(k)), std::signbit(floats[k]));
        } else {
          EXPECT_EQ(v.texts[k], texts[k]);
        }
      }
    }
  }
}

TEST(SaveRoundTrip, FourMillionIntegers) {
  std::vector<int64_t> values(kMaxElements);
  for (size_t k = 0; k < values.size(); ++k) values[k] = int64_t(k * 2654435761u) ^ int64_t(k << 33);
  Bytes file = merge(nullptr, {int_record(1, {2000, 2000}, values)});
  Bytes payload;
  RecordHead head;
  ASSERT_EQ(load(file, 1, payload, head), kOk);
  VariablePayload v;
  ASSERT_EQ(decode_variable_payload(payload, v), kOk);
  ASSERT_EQ(v.count, values.size());
  EXPECT_EQ(std::memcmp(v.data.data(), values.data(), values.size() * 8), 0);
}

TEST(SaveRoundTrip, TextsUpToTheDataLimitAndNotBeyond) {
  // Four texts whose data part is exactly 40,000,000 bytes are saved; one
  // byte more is refused before anything is built.
  std::string big(10'000'000 - 4, 'x');
  Bytes payload;
  EXPECT_EQ(encode_texts(Dims{4}, 4, [&](size_t) -> std::string_view { return big; }, payload), kOk);
  EXPECT_EQ(payload.size(), 12u + 4 + 40'000'000);
  VariablePayload v;
  EXPECT_EQ(decode_variable_payload(payload, v), kOk);
  std::string bigger = big + "y";
  EXPECT_EQ(encode_texts(Dims{4}, 4, [&](size_t k) -> std::string_view { return k == 3 ? bigger : big; }, payload),
            kErrArrayTooLarge);
}

TEST(SaveRoundTrip, ShapeAndValuesMustAgree) {
  Bytes payload;
  std::vector<int64_t> five(5);
  EXPECT_EQ(encode_integers(Dims{2, 3}, five, payload), kErrDataError);
  EXPECT_EQ(encode_integers(Dims{0}, {}, payload), kErrDataError);
  std::vector<int32_t> nine(9, 1);
  std::vector<int64_t> one(1);
  EXPECT_EQ(encode_integers(nine, one, payload), kErrDataError);
  EXPECT_EQ(encode_integers({}, one, payload), kOk);  // one element, or a whole scalar
}

TEST(SaveRoundTrip, ImagesAtTheSideLimits) {
  Bytes payload;
  Bytes row(8192 * 4, 0x5A);
  EXPECT_EQ(encode_image({8192, 1, false}, row, payload), kOk);
  EXPECT_EQ(encode_image({1, 8192, false}, row, payload), kOk);
  Bytes longer(8193 * 4);
  EXPECT_EQ(encode_image({8193, 1, false}, longer, payload), kErrImageData);
  EXPECT_EQ(encode_image({0, 1, false}, {}, payload), kErrImageData);
  EXPECT_EQ(encode_image({2, 2, false}, row, payload), kErrImageData);  // pixels of another size
}

// ---- merging into an old file ----

std::vector<uint32_t> record_order(const Bytes& file) {
  std::vector<std::pair<uint32_t, uint32_t>> at;
  for (uint32_t k = 1; k <= kTableEntries; ++k)
    if (uint32_t off = get_u32(file, 16 + 4 * (k - 1))) at.emplace_back(off, k);
  std::sort(at.begin(), at.end());
  std::vector<uint32_t> order;
  for (auto [off, k] : at) order.push_back(k);
  return order;
}

TEST(SaveMerge, ReplacesInPlaceAndAppendsNewNumbers) {
  Bytes one = int_record(1, {}, {10}), two = text_record(2, {}, {"two"}), three = int_record(3, {}, {30});
  Bytes file = merge(nullptr, {three, one, two});
  EXPECT_EQ(record_order(file), (std::vector<uint32_t>{1, 2, 3}));  // a new file is in data-number order
  EXPECT_EQ(get_u32(file, 8), 3u);

  Bytes file2 = merge(&file, {int_record(3, {3}, {31, 32, 33})});
  EXPECT_EQ(get_u32(file2, 8), 3u);
  EXPECT_EQ(record_order(file2), (std::vector<uint32_t>{1, 2, 3}));
  // The records kept are copied byte for byte.
  EXPECT_TRUE(std::equal(file.begin() + 4112, file.begin() + 4112 + one.size() + two.size(), file2.begin() + 4112));
  Bytes payload;
  RecordHead head;
  ASSERT_EQ(load(file2, 3, payload, head), kOk);
  VariablePayload v;
  ASSERT_EQ(decode_variable_payload(payload, v), kOk);
  EXPECT_EQ(v.count, 3u);

  Bytes file3 = merge(&file2, {int_record(4, {}, {40}), image_record(1, 2, 2, 9)});
  EXPECT_EQ(get_u32(file3, 8), 4u);
  EXPECT_EQ(record_order(file3), (std::vector<uint32_t>{1, 2, 3, 4}));
  EXPECT_EQ(load(file3, 1, payload, head), kOk);
  EXPECT_EQ(head.kind, kImageData);
  for (uint32_t dno = 2; dno <= 4; ++dno) EXPECT_EQ(load(file3, dno), kOk);
  EXPECT_EQ(load(file3, 5), kErrNoRecord);
}

TEST(SaveMerge, KeepsTheOldFilesOrderOfRecords) {
  // Records added one save at a time stand in the order they came, not in
  // the order of their numbers; later saves keep that order.
  Bytes file = merge(nullptr, {int_record(5, {}, {5})});
  file = merge(&file, {int_record(2, {}, {2})});
  file = merge(&file, {int_record(9, {}, {9})});
  EXPECT_EQ(record_order(file), (std::vector<uint32_t>{5, 2, 9}));
  Bytes merged = merge(&file, {int_record(1, {}, {1}), int_record(2, {}, {22})});
  EXPECT_EQ(record_order(merged), (std::vector<uint32_t>{5, 2, 9, 1}));
  for (uint32_t dno : {1, 2, 5, 9}) EXPECT_EQ(load(merged, dno), kOk);
}

TEST(SaveMerge, RefusesFilesItCannotMergeInto) {
  Bytes file = merge(nullptr, {int_record(1, {}, {1}), int_record(2, {}, {2})});
  std::vector<Bytes> fresh = {int_record(3, {}, {3})};
  std::vector<std::span<const uint8_t>> spans(fresh.begin(), fresh.end());
  FilePlan plan;

  Bytes bad = file;
  bad[0] = 'X';
  EXPECT_EQ(plan_file(&bad, spans, plan), kErrBadFile);
  bad = file;
  set_u32(bad, 4, 404);
  EXPECT_EQ(plan_file(&bad, spans, plan), kErrVersion);
  bad = file;
  set_u32(bad, 16 + 4, static_cast<uint32_t>(file.size()));  // record 2 past the end
  EXPECT_EQ(plan_file(&bad, spans, plan), kErrBadFile);
  bad = file;
  set_u32(bad, 4112 + 8, 0xFFFFFFFF);  // record 1's compressed size
  EXPECT_EQ(plan_file(&bad, spans, plan), kErrBadFile);
  Bytes empty;
  EXPECT_EQ(plan_file(&empty, spans, plan), kErrBadFile);

  // Two new records for one data number are a caller's mistake.
  std::vector<Bytes> twice = {int_record(3, {}, {3}), int_record(3, {}, {4})};
  std::vector<std::span<const uint8_t>> twice_spans(twice.begin(), twice.end());
  EXPECT_EQ(plan_file(&file, twice_spans, plan), kErrDataError);
}

TEST(SaveMerge, RefusesAFileOfFourGibibytes) {
  // Two records of 2.5 GB each (address space only: the plan reads their heads).
  const size_t size = size_t(2500) << 20;
  void* a = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  void* b = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(a, MAP_FAILED);
  ASSERT_NE(b, MAP_FAILED);
  static_cast<uint8_t*>(a)[0] = 1;
  static_cast<uint8_t*>(b)[0] = 2;
  std::vector<std::span<const uint8_t>> spans = {{static_cast<uint8_t*>(a), size}, {static_cast<uint8_t*>(b), size}};
  FilePlan plan;
  EXPECT_EQ(plan_file(nullptr, spans, plan), kErrCannotWrite);
  spans.pop_back();
  EXPECT_EQ(plan_file(nullptr, spans, plan), kOk);
  EXPECT_EQ(plan.size, 4112 + size);
  ::munmap(a, size);
  ::munmap(b, size);
}

// ---- checks of loaded payloads ----

Bytes variable_payload(uint32_t type, std::vector<uint32_t> dims, uint32_t data_size, Bytes data) {
  Bytes p(12 + 4 * dims.size());
  set_u32(p, 0, type);
  set_u32(p, 4, static_cast<uint32_t>(dims.size()));
  for (size_t k = 0; k < dims.size(); ++k) set_u32(p, 8 + 4 * k, dims[k]);
  set_u32(p, 8 + 4 * dims.size(), data_size);
  p.insert(p.end(), data.begin(), data.end());
  return p;
}

TEST(SavePayloadChecks, DamagedVariablePayloads) {
  VariablePayload v;
  Bytes eight(8, 0);
  EXPECT_EQ(decode_variable_payload(variable_payload(1, {}, 8, eight), v), kOk);
  for (uint32_t type : {0u, 4u, 0xFFFFFFFFu})
    EXPECT_EQ(decode_variable_payload(variable_payload(type, {}, 8, eight), v), kErrDataError) << type;
  EXPECT_EQ(decode_variable_payload(variable_payload(1, std::vector<uint32_t>(9, 1), 8, eight), v), kErrDataError);
  EXPECT_EQ(decode_variable_payload(variable_payload(1, {0}, 0, {}), v), kErrDataError);          // size 0
  EXPECT_EQ(decode_variable_payload(variable_payload(1, {2001, 2000}, 8, eight), v), kErrDataError);  // > 4M
  EXPECT_EQ(decode_variable_payload(variable_payload(1, {2}, 8, eight), v), kErrDataError);     // D != 2 x 8
  EXPECT_EQ(decode_variable_payload(variable_payload(1, {}, 16, eight), v), kErrDataError);     // D past the end
  EXPECT_EQ(decode_variable_payload(variable_payload(1, {}, 4, eight), v), kErrDataError);      // bytes after D
  EXPECT_EQ(decode_variable_payload(variable_payload(1, {}, 40'000'001, eight), v), kErrArrayTooLarge);
  EXPECT_EQ(decode_variable_payload(variable_payload(1, {}, 0xFFFFFFFF, eight), v), kErrArrayTooLarge);
  EXPECT_EQ(decode_variable_payload(Bytes(11, 0), v), kErrDataError);
  Bytes three_dims_missing = variable_payload(1, {1, 1, 1}, 8, eight);
  three_dims_missing.resize(14);
  EXPECT_EQ(decode_variable_payload(three_dims_missing, v), kErrDataError);

  // Texts: lengths that run past D, too few or too many bytes for the count.
  Bytes ab = variable_payload(3, {}, 6, hex("02 00 00 00 41 42"));
  EXPECT_EQ(decode_variable_payload(ab, v), kOk);
  EXPECT_EQ(v.texts.at(0), "AB");
  EXPECT_EQ(decode_variable_payload(variable_payload(3, {}, 6, hex("03 00 00 00 41 42")), v), kErrDataError);
  EXPECT_EQ(decode_variable_payload(variable_payload(3, {}, 6, hex("FF FF FF FF 41 42")), v), kErrDataError);
  EXPECT_EQ(decode_variable_payload(variable_payload(3, {2}, 6, hex("02 00 00 00 41 42")), v), kErrDataError);
  EXPECT_EQ(decode_variable_payload(variable_payload(3, {}, 7, hex("02 00 00 00 41 42 43")), v), kErrDataError);
  EXPECT_EQ(decode_variable_payload(variable_payload(3, {2}, 2, hex("00 00")), v), kErrDataError);
}

TEST(SavePayloadChecks, DamagedImagePayloads) {
  Bytes pixels(2 * 4 * 3, 7);
  Bytes good;
  ASSERT_EQ(encode_image({2, 3, false}, pixels, good), kOk);
  ImagePayload image;
  ASSERT_EQ(decode_image_payload(good, image), kOk);

  auto with = [&](size_t at, uint32_t v) {
    Bytes p = good;
    set_u32(p, at, v);
    return p;
  };
  EXPECT_EQ(decode_image_payload(with(0, 991), image), kErrImageData);
  EXPECT_EQ(decode_image_payload(with(4, 0xFFFFFFFF), image), kErrImageData);
  EXPECT_EQ(decode_image_payload(with(4, 24 + 4), image), kErrImageData);
  EXPECT_EQ(decode_image_payload(with(8 + 600, 0), image), kErrImageData);
  EXPECT_EQ(decode_image_payload(with(8 + 600, 8193), image), kErrImageData);
  EXPECT_EQ(decode_image_payload(with(8 + 604, 0x80000000), image), kErrImageData);
  // Width and height swapped keep the size but not the payload's meaning:
  // allowed, the pixel count is the same.
  Bytes swapped = with(8 + 600, 3);
  set_u32(swapped, 8 + 604, 2);
  EXPECT_EQ(decode_image_payload(swapped, image), kOk);
  Bytes shorter(good.begin(), good.end() - 1);
  EXPECT_EQ(decode_image_payload(shorter, image), kErrImageData);
  Bytes longer = good;
  longer.push_back(0);
  EXPECT_EQ(decode_image_payload(longer, image), kErrImageData);
  EXPECT_EQ(decode_image_payload(Bytes(999, 0), image), kErrImageData);
}

TEST(SavePayloadChecks, RecordsAboveTheLimitsOfTheirKindAreNeitherMadeNorInflated) {
  Bytes record;
  Bytes huge(kMaxVariablePayload + 1);
  EXPECT_EQ(make_record(1, kVariableData, huge, record), kErrDataError);
  EXPECT_EQ(make_record(0, kVariableData, Bytes(20), record), kErrDataError);
  EXPECT_EQ(make_record(1025, kVariableData, Bytes(20), record), kErrDataError);

  RecordHead head;
  head.kind = kVariableData;
  head.payload_size = 0xFFFFFFFF;
  Bytes payload;
  EXPECT_EQ(inflate_record(head, {}, payload), kErrArrayTooLarge);
  EXPECT_TRUE(payload.empty());
  head.kind = kImageData;
  EXPECT_EQ(inflate_record(head, {}, payload), kErrImageData);
  EXPECT_TRUE(payload.empty());
}

}  // namespace
}  // namespace nv::save::test
