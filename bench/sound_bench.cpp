// The sound engine's costs beside peers measured in the same run:
//   - mixing 32 voices (16-bit stereo, gains and pan) at 48 kHz, at the
//     output rate and resampled, against SDL's own mixing of the same buffers
//     (SDL_MixAudioFormat, with SDL_AudioStream for the resampling);
//   - refilling 32 Ogg Vorbis streams a second at a time, each fill opening
//     the stream from memory and seeking, against libvorbisfile decoding the
//     same files with the streams kept open;
//   - the longest time the sound thread holds the engine lock in one cycle
//     while 32 Ogg sounds start together and refill in step.
// Needs sox and oggenc (scripts/install-deps.sh).
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include "media/ogg_memory.h"
#include "media/sound_cycle.h"
#include "media/sound_engine.h"
#include "media/sound_stream.h"
#include "platform/audio_mixer.h"
#include "platform/clock.h"
#include "platform/posix/real_clock.h"
#include "platform/headless/audio_headless.h"

namespace {

using Clock = std::chrono::steady_clock;
double seconds_since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

constexpr int kVoices = 32;
constexpr uint32_t kRate = 48000;
constexpr uint32_t kChunk = 1024;  // one device period

// ---- mixing ----

struct MixResult {
  double ours_ns, sdl_ns;  // per voice-frame
};

MixResult bench_mix(uint32_t voice_rate, double seconds) {
  std::mt19937 rng(1);
  const uint32_t frames = voice_rate * 2;
  std::vector<std::unique_ptr<nv::platform::VoiceCore>> cores;
  nv::platform::Mixer mixer(kRate);
  for (int v = 0; v < kVoices; ++v) {
    auto c = nv::platform::make_voice_core({2, voice_rate, 16}, frames * 4);
    auto* p = reinterpret_cast<int16_t*>(c->data.get());
    for (uint32_t i = 0; i < frames * 2; ++i) p[i] = int16_t(int(rng() % 8000) - 4000);
    c->gain_left = 0.5f + 0.01f * float(v);
    c->gain_right = 0.7f;
    c->playing = true;
    mixer.add(c.get());
    cores.push_back(std::move(c));
  }
  const uint32_t chunks = uint32_t(seconds * kRate / kChunk);
  std::vector<int16_t> out(kChunk * 2);
  auto t = Clock::now();
  for (uint32_t k = 0; k < chunks; ++k) mixer.mix(out.data(), kChunk);
  const double ours = seconds_since(t);

  // SDL: the same buffers mixed into a zeroed period, converted first when
  // the voices run at another rate.
  std::vector<SDL_AudioStream*> streams;
  if (voice_rate != kRate)
    for (int v = 0; v < kVoices; ++v)
      streams.push_back(SDL_NewAudioStream(AUDIO_S16LSB, 2, int(voice_rate), AUDIO_S16LSB, 2, int(kRate)));
  std::vector<uint32_t> pos(kVoices, 0);
  std::vector<int16_t> conv(kChunk * 2);
  t = Clock::now();
  for (uint32_t k = 0; k < chunks; ++k) {
    std::fill(out.begin(), out.end(), 0);
    for (int v = 0; v < kVoices; ++v) {
      const uint8_t* src = cores[size_t(v)]->data.get();
      if (streams.empty()) {
        if (pos[size_t(v)] + kChunk > frames) pos[size_t(v)] = 0;
        SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), src + pos[size_t(v)] * 4, AUDIO_S16LSB, kChunk * 4, 90);
        pos[size_t(v)] += kChunk;
        continue;
      }
      SDL_AudioStream* s = streams[size_t(v)];
      while (SDL_AudioStreamAvailable(s) < int(kChunk * 4)) {
        if (pos[size_t(v)] + kChunk > frames) pos[size_t(v)] = 0;
        SDL_AudioStreamPut(s, src + pos[size_t(v)] * 4, int(kChunk * 4));
        pos[size_t(v)] += kChunk;
      }
      SDL_AudioStreamGet(s, conv.data(), int(kChunk * 4));
      SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data()), reinterpret_cast<Uint8*>(conv.data()), AUDIO_S16LSB,
                         kChunk * 4, 90);
    }
  }
  const double sdl = seconds_since(t);
  for (SDL_AudioStream* s : streams) SDL_FreeAudioStream(s);
  const double vf = double(chunks) * kChunk * kVoices;
  return {ours * 1e9 / vf, sdl * 1e9 / vf};
}

// ---- Ogg refills ----

std::vector<std::shared_ptr<const std::vector<uint8_t>>> make_oggs(const std::filesystem::path& dir, int count) {
  std::vector<std::shared_ptr<const std::vector<uint8_t>>> out;
  const char* sounds[] = {"sine 220:880 sine 330", "pinknoise", "sine 440 brownnoise", "pluck 300 sine 500"};
  for (int i = 0; i < count; ++i) {
    const std::string wav = (dir / ("s" + std::to_string(i) + ".wav")).string();
    const std::string ogg = (dir / ("s" + std::to_string(i) + ".ogg")).string();
    const std::string cmd = "sox -n -r 44100 -c 2 -b 16 '" + wav + "' synth 12 " + sounds[i % 4] +
                            " vol 0.3 >/dev/null 2>&1 && oggenc -Q -q 4 -o '" + ogg + "' '" + wav + "'";
    if (std::system(cmd.c_str()) != 0) return {};
    std::ifstream f(ogg, std::ios::binary);
    out.push_back(std::make_shared<const std::vector<uint8_t>>(std::istreambuf_iterator<char>(f),
                                                              std::istreambuf_iterator<char>()));
  }
  return out;
}

void bench_refill(const std::vector<std::shared_ptr<const std::vector<uint8_t>>>& files) {
  std::string error;
  auto audio = nv::platform::make_headless_audio(44100, "", error);
  std::vector<std::unique_ptr<nv::media::SoundChannel>> chans;
  for (int v = 0; v < kVoices; ++v) {
    auto ch = std::make_unique<nv::media::SoundChannel>();
    ch->format = nv::media::SoundFormat::ogg;
    ch->file_data = files[size_t(v) % files.size()];
    nv::media::create_playback(*ch, *audio);
    ch->end = int32_t(ch->total_time);
    nv::media::seek_sound(*ch, 0);
    chans.push_back(std::move(ch));
  }
  const int seconds = 10;
  std::vector<double> fills;
  auto t = Clock::now();
  for (int s = 0; s < seconds; ++s) {
    for (auto& ch : chans) {
      ch->write_offset = s % 2 ? ch->buffer_size / 2 : 0;
      auto f = Clock::now();
      if (nv::media::fill_half(*ch) < 0) std::printf("fill failed\n");
      fills.push_back(seconds_since(f));
    }
  }
  const double ours = seconds_since(t);

  // libvorbisfile with each stream kept open, decoding the same seconds.
  std::vector<std::unique_ptr<nv::media::OggStream>> open;
  for (int v = 0; v < kVoices; ++v) {
    open.push_back(std::make_unique<nv::media::OggStream>());
    open.back()->open(*files[size_t(v) % files.size()]);
  }
  std::vector<char> buf(4096);
  t = Clock::now();
  for (int s = 0; s < seconds; ++s) {
    for (auto& o : open) {
      long got = 0;
      int section = 0;
      while (got < 176400) {
        const long r = ov_read(o->get(), buf.data(), int(buf.size()), 0, 2, 1, &section);
        if (r <= 0) break;
        got += r;
      }
    }
  }
  const double kept = seconds_since(t);
  std::sort(fills.begin(), fills.end());
  std::printf("32 Ogg streams (44.1 kHz stereo q4), one second a fill:\n");
  std::printf("  reopen and seek per fill   %5.1f %% of one core   fill p50 %.2f ms  p99 %.2f ms\n",
              100.0 * ours / seconds, fills[fills.size() / 2] * 1e3, fills[fills.size() * 99 / 100] * 1e3);
  std::printf("  libvorbisfile kept open    %5.1f %% of one core   (reopening costs %.2f x)\n", 100.0 * kept / seconds,
              ours / kept);
}

// ---- lock hold ----

void bench_lock(const std::vector<std::shared_ptr<const std::vector<uint8_t>>>& files) {
  auto clock = nv::platform::make_real_clock();
  std::recursive_mutex lock;
  std::atomic<bool> quit{false};
  std::string error;
  auto audio = nv::platform::make_headless_audio(44100, "", error);
  nv::media::SoundState s;
  s.host = nv::media::SoundHost{clock.get(), &lock, &quit, nullptr};
  nv::media::init_sound(s, audio.get());
  std::vector<nv::media::SoundNode*> nodes;
  for (int v = 0; v < kVoices; ++v) {
    std::lock_guard<std::recursive_mutex> g(lock);
    nodes.push_back(nv::media::add_sound_node(*s.tree.s0, "n" + std::to_string(v), false, nv::media::kSoundNodeKey));
    nodes.back()->ch.format = nv::media::SoundFormat::ogg;
  }
  nv::media::start_sound_thread(s);
  std::vector<uint64_t> loads;
  for (int v = 0; v < kVoices; ++v)
    loads.push_back(*nv::media::queue_sound_request(s, nodes[size_t(v)], nv::media::SoundRequestKind::load, 0, "x",
                                             files[size_t(v) % files.size()]));
  for (uint64_t t : loads) nv::media::wait_sound_request(s, t);

  // Halves are decoded outside the lock; what it guards is the requests,
  // fades, position tracking and the choice of voices to refill. A probe
  // takes and drops the lock over and over: the longest it waits is
  // the longest the sound thread held it.
  std::atomic<bool> probing{true};
  std::atomic<int64_t> longest_start_us{0}, longest_us{0};
  std::atomic<bool> started{false};
  std::atomic<int64_t> probes{0};
  std::thread probe([&] {
    while (probing) {
      ++probes;
      const auto t = Clock::now();
      { std::lock_guard<std::recursive_mutex> g(lock); }
      const auto us = int64_t(seconds_since(t) * 1e6);
      auto& slot = started ? longest_us : longest_start_us;
      if (us > slot) slot = us;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  {
    std::lock_guard<std::recursive_mutex> g(lock);
    for (nv::media::SoundNode* n : nodes) nv::media::put_sound_request(s.ring, n, nv::media::SoundRequestKind::play, 0);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  started = true;  // from here on: the refills, every second, all in step
  std::this_thread::sleep_for(std::chrono::milliseconds(4500));
  probing = false;
  probe.join();
  quit = true;
  nv::media::join_sound_thread(s);
  std::printf("longest hold of the engine lock by the sound thread (32 Ogg sounds):\n");
  std::printf("  the cycle that starts all 32      %6.2f ms\n", double(longest_start_us) / 1e3);
  std::printf("  cycles refilling all 32 in step   %6.2f ms   (aim 16 ms; %ld looks at the lock)\n",
              double(longest_us) / 1e3, long(probes));
}

}  // namespace

int main() {
  SDL_Init(0);
  for (uint32_t rate : {kRate, 52000u}) {
    const MixResult m = bench_mix(rate, 20.0);
    std::printf("mix 32 voices %s: %.2f ns per voice-frame (%.2f %% of one core at 48 kHz); SDL %.2f ns (%.2f x ours)\n",
                rate == kRate ? "at the output rate" : "resampled 52 -> 48 kHz", m.ours_ns,
                m.ours_ns * kVoices * kRate / 1e7, m.sdl_ns, m.sdl_ns / m.ours_ns);
  }
  const auto dir = std::filesystem::temp_directory_path() / ("nivalo-sound-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto files = make_oggs(dir, 4);
  if (files.empty()) {
    std::printf("sox or oggenc missing: the Ogg figures need scripts/install-deps.sh\n");
  } else {
    bench_refill(files);
    bench_lock(files);
  }
  std::filesystem::remove_all(dir);
  SDL_Quit();
  return 0;
}
