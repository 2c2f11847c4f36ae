#include "platform/headless/wav_out.h"

#include <array>

namespace nv::platform {

namespace {

void put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  put16(p, v);
  put16(p + 2, v >> 16);
}

constexpr size_t kHeaderBytes = 44;
// The RIFF sizes are 32-bit; a longer output keeps its first 4 GiB described.
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - (kHeaderBytes - 8);

}  // namespace

WavOut::~WavOut() { close(); }

bool WavOut::open(const std::string& path, uint32_t rate) {
  close();
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  std::array<uint8_t, kHeaderBytes> h{};
  const uint8_t* tags = reinterpret_cast<const uint8_t*>("RIFF\0\0\0\0WAVEfmt ");
  for (int i = 0; i < 16; ++i) h[i] = tags[i];
  put32(&h[16], 16);        // fmt chunk size
  put16(&h[20], 1);         // PCM
  put16(&h[22], 2);         // channels
  put32(&h[24], rate);
  put32(&h[28], rate * 4);  // bytes per second
  put16(&h[32], 4);         // block align
  put16(&h[34], 16);        // bits per sample
  h[36] = 'd', h[37] = 'a', h[38] = 't', h[39] = 'a';
  data_bytes_ = 0;
  return std::fwrite(h.data(), 1, h.size(), file_) == h.size();
}

void WavOut::append(const int16_t* samples, size_t frames) {
  if (!file_) return;
  std::array<uint8_t, 4096> buf;
  size_t i = 0;
  const size_t count = frames * 2;
  while (i < count) {
    size_t n = 0;
    for (; i < count && n + 2 <= buf.size(); ++i, n += 2) put16(&buf[n], uint16_t(samples[i]));
    std::fwrite(buf.data(), 1, n, file_);
    data_bytes_ += n;
  }
}

void WavOut::close() {
  if (!file_) return;
  const uint32_t data = static_cast<uint32_t>(data_bytes_ < kMaxDataBytes ? data_bytes_ : kMaxDataBytes);
  uint8_t v[4];
  put32(v, data + uint32_t(kHeaderBytes - 8));
  std::fseek(file_, 4, SEEK_SET);
  std::fwrite(v, 1, 4, file_);
  put32(v, data);
  std::fseek(file_, 40, SEEK_SET);
  std::fwrite(v, 1, 4, file_);
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace nv::platform
