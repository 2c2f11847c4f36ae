#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "resources/inflate.h"

namespace nv::res {
namespace {

std::vector<uint8_t> deflated(const std::vector<uint8_t>& in) {
  uLongf n = compressBound(static_cast<uLong>(in.size()));
  std::vector<uint8_t> out(n);
  EXPECT_EQ(compress2(out.data(), &n, in.data(), static_cast<uLong>(in.size()), 9), Z_OK);
  out.resize(n);
  return out;
}

InflateStatus run(Inflater which, const std::vector<uint8_t>& in, size_t out_size, std::vector<uint8_t>* out = nullptr) {
  std::vector<uint8_t> block(out_size);
  InflateStatus st = inflate_zlib_stream(in, block, which);
  if (out) *out = std::move(block);
  return st;
}

TEST(Inflate, BothLibrariesGiveZlibsOutcomes) {
  std::mt19937 rng(7);
  std::vector<uint8_t> plain(20000);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<uint8_t>(i % 97 < 50 ? 'a' + rng() % 4 : rng());
  std::vector<uint8_t> z = deflated(plain);
  std::vector<uint8_t> truncated(z.begin(), z.begin() + static_cast<long>(z.size() / 2));
  std::vector<uint8_t> bad_trailer = z;
  bad_trailer.back() ^= 1;  // the stream's own adler-32
  std::vector<uint8_t> bad_header = z;
  bad_header[0] = 0x79;
  for (Inflater which : {Inflater::zlib, Inflater::libdeflate}) {
    std::vector<uint8_t> out;
    EXPECT_EQ(run(which, z, plain.size(), &out), InflateStatus::ok);
    EXPECT_EQ(out, plain);
    EXPECT_EQ(run(which, z, plain.size() - 1), InflateStatus::buffer_error);
    EXPECT_EQ(run(which, z, plain.size() + 1), InflateStatus::short_output);
    EXPECT_EQ(run(which, truncated, plain.size()), InflateStatus::data_error);
    EXPECT_EQ(run(which, bad_trailer, plain.size()), InflateStatus::data_error);
    EXPECT_EQ(run(which, bad_header, plain.size()), InflateStatus::data_error);
    EXPECT_EQ(run(which, {}, 0), InflateStatus::data_error);
    EXPECT_EQ(run(which, deflated({}), 0), InflateStatus::ok);
  }
}

TEST(Inflate, LibrariesAgreeOnDamagedStreams) {
  std::mt19937 rng(11);
  std::vector<uint8_t> plain(6000);
  for (uint8_t& b : plain) b = static_cast<uint8_t>('a' + rng() % 8);
  std::vector<uint8_t> z = deflated(plain);
  int agreed = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> damaged = z;
    damaged[rng() % damaged.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
    InflateStatus a = run(Inflater::zlib, damaged, plain.size());
    InflateStatus b = run(Inflater::libdeflate, damaged, plain.size());
    // A damaged stream that fills the block early is a buffer error for
    // zlib but may be found bad first by libdeflate; both are errors.
    if (a == b) ++agreed;
    else EXPECT_TRUE(a != InflateStatus::ok && b != InflateStatus::ok) << round;
  }
  EXPECT_GT(agreed, 250);
}

}  // namespace
}  // namespace nv::res
