// A 16-bit stereo WAV file written as the headless output mixes: the header
// goes out first with empty sizes, which are filled in when it is closed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace nv::platform {

class WavOut {
 public:
  WavOut() = default;
  ~WavOut();
  WavOut(const WavOut&) = delete;
  WavOut& operator=(const WavOut&) = delete;

  // Creates (or truncates) `path`; false when it cannot be written.
  bool open(const std::string& path, uint32_t rate);
  bool is_open() const { return file_ != nullptr; }
  // Appends interleaved left/right samples.
  void append(const int16_t* samples, size_t frames);
  // Writes the RIFF and data sizes and closes the file.
  void close();

 private:
  FILE* file_ = nullptr;
  uint64_t data_bytes_ = 0;
};

}  // namespace nv::platform
