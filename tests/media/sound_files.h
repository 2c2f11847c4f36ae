// Sound files made at test time by sox, oggenc and espeak-ng, and readings
// of WAV output: its samples, and sox's own measurements.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"

namespace nv::test {

// Single quotes around a path for the shell.
inline std::string sh(const std::string& path) { return "'" + path + "'"; }

inline bool run_quiet(const std::string& cmd) { return std::system((cmd + " >/dev/null 2>&1").c_str()) == 0; }

inline std::vector<uint8_t> file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// `sox -n <args> <dir>/<name>` (a synthesised file); its path, or "" on failure.
inline std::string sox_make(const TempDir& dir, const std::string& name, const std::string& format_args,
                            const std::string& effects) {
  const std::string path = (dir.path() / name).string();
  if (!run_quiet("sox -n " + format_args + " " + sh(path) + " " + effects)) return {};
  return path;
}

// oggenc of a WAV made by sox; the Ogg's path.
inline std::string ogg_make(const TempDir& dir, const std::string& name, const std::string& format_args,
                            const std::string& effects) {
  const std::string wav = sox_make(dir, name + ".src.wav", format_args, effects);
  const std::string path = (dir.path() / name).string();
  if (wav.empty() || !run_quiet("oggenc -Q -q 4 -o " + sh(path) + " " + sh(wav))) return {};
  return path;
}

// Two Ogg files one after the other: a chained stream.
inline std::vector<uint8_t> chained_ogg(const TempDir& dir) {
  const std::string a = ogg_make(dir, "chain-a.ogg", "-r 44100 -c 2 -b 16", "synth 0.3 sine 440");
  const std::string b = ogg_make(dir, "chain-b.ogg", "-r 44100 -c 2 -b 16", "synth 0.3 sine 660");
  std::vector<uint8_t> chained = file_bytes(a);
  const std::vector<uint8_t> tail = file_bytes(b);
  chained.insert(chained.end(), tail.begin(), tail.end());
  return chained;
}

// The 16-bit samples of a canonical WAV (the data chunk found by walking).
struct Pcm {
  int channels = 0;
  int rate = 0;
  std::vector<int16_t> samples;  // interleaved
  size_t frames() const { return channels ? samples.size() / size_t(channels) : 0; }
  int16_t at(size_t frame, int c) const { return samples[frame * size_t(channels) + size_t(c)]; }
};

inline Pcm read_pcm16(const std::string& path) {
  Pcm p;
  const std::vector<uint8_t> b = file_bytes(path);
  auto u32 = [&](size_t i) { return uint32_t(b[i]) | uint32_t(b[i + 1]) << 8 | uint32_t(b[i + 2]) << 16 | uint32_t(b[i + 3]) << 24; };
  if (b.size() < 12) return p;
  size_t at = 12;
  while (at + 8 <= b.size()) {
    const uint32_t n = u32(at + 4);
    const std::string tag(reinterpret_cast<const char*>(&b[at]), 4);
    if (tag == "fmt ") {
      p.channels = b[at + 10] | b[at + 11] << 8;
      p.rate = static_cast<int>(u32(at + 12));
    } else if (tag == "data") {
      const size_t end = std::min(b.size(), at + 8 + size_t(n));
      for (size_t i = at + 8; i + 1 < end; i += 2) p.samples.push_back(int16_t(b[i] | b[i + 1] << 8));
      break;
    }
    at += 8 + n + (n & 1);
  }
  return p;
}

// One channel of `pcm` from frame `from` for `count` frames.
inline std::vector<int16_t> channel_of(const Pcm& pcm, int c, size_t from = 0, size_t count = SIZE_MAX) {
  std::vector<int16_t> out;
  for (size_t f = from; f < pcm.frames() && out.size() < count; ++f) out.push_back(pcm.at(f, c));
  return out;
}

// RMS level in dB below full scale of a range of samples (-inf for silence).
inline double rms_db(const std::vector<int16_t>& s) {
  double sum = 0;
  for (int16_t v : s) sum += double(v) * v;
  if (s.empty() || sum == 0) return -INFINITY;
  return 20.0 * std::log10(std::sqrt(sum / double(s.size())) / 32768.0);
}

// Frequency from upward zero crossings over the samples.
inline double crossing_frequency(const std::vector<int16_t>& s, int rate) {
  int first = -1, last = -1, count = 0;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i - 1] < 0 && s[i] >= 0) {
      if (first < 0) first = int(i);
      last = int(i);
      ++count;
    }
  }
  if (count < 2) return 0;
  return double(count - 1) * rate / double(last - first);
}

// sox's "RMS lev dB" of one channel (1 left, 2 right) of a file section.
inline double sox_rms_db(const std::string& path, int channel, double start_s, double length_s) {
  const std::string out = output_of("sox " + sh(path) + " -n remix " + std::to_string(channel) + " trim " +
                                    std::to_string(start_s) + " " + std::to_string(length_s) + " stats 2>&1");
  const size_t at = out.find("RMS lev dB");
  if (at == std::string::npos) return NAN;
  return std::strtod(out.c_str() + at + 10, nullptr);
}

}  // namespace nv::test
