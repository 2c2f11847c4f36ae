// The sound engine on its own, driven cycle by cycle on a virtual clock
// into a headless output written to a WAV file: requests go in as the
// script thread would queue them, the output is read back.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "media/sound_cycle.h"
#include "media/sound_engine.h"
#include "platform/clock.h"
#include "platform/encoding.h"
#include "platform/headless/audio_headless.h"
#include "platform/headless/virtual_clock.h"
#include "tests/media/sound_files.h"

namespace nv::test {

struct SoundRig {
  TempDir dir;
  std::unique_ptr<platform::Clock> clock = platform::make_virtual_clock();
  std::recursive_mutex lock;
  std::atomic<bool> quit{false};
  std::string out_path = (dir.path() / "out.wav").string();
  std::unique_ptr<platform::AudioOut> audio;
  media::SoundState s;
  std::vector<std::string> boxes;  // "caption|text" in UTF-8
  bool ended = false;

  SoundRig() {
    std::string error;
    audio = platform::make_headless_audio(44100, out_path, error);
    s.host.clock = clock.get();
    s.host.lock = &lock;
    s.host.quit = &quit;
    s.host.show_box = [this](const std::string& caption, const std::string& text) {
      boxes.push_back(platform::sjis_to_utf8(caption) + "|" + platform::sjis_to_utf8(text));
    };
    media::init_sound(s, audio.get());
  }

  int64_t now_ms() const { return int64_t(clock->now_us() / 1000); }

  // Cycles, each after the thread's rest, for at least `ms` of clock time
  // (or until the thread would end).
  void run_for(int64_t ms) {
    const uint64_t until = clock->now_us() + uint64_t(ms) * 1000;
    while (!ended && clock->now_us() < until) {
      clock->sleep_ms(media::sound_rest_ms(s));
      if (!media::run_sound_cycle(s)) ended = true;
    }
  }

  // Cycles until request `t` is done (at most `limit_ms`).
  bool settle(uint64_t t, int64_t limit_ms = 1000) {
    const uint64_t until = clock->now_us() + uint64_t(limit_ms) * 1000;
    while (!ended && !media::sound_request_done(s.ring, t) && clock->now_us() < until) {
      clock->sleep_ms(media::sound_rest_ms(s));
      if (!media::run_sound_cycle(s)) ended = true;
    }
    return media::sound_request_done(s.ring, t);
  }

  media::SoundNode* node(const std::string& name, bool is_set = false, media::SoundNode* parent = nullptr) {
    std::lock_guard<std::recursive_mutex> g(lock);
    return media::add_sound_node(parent ? *parent : *s.tree.s0, name, is_set, media::kSoundNodeKey);
  }

  uint64_t queue(media::SoundNode* n, media::SoundRequestKind kind, int32_t arg = 0) {
    auto t = media::queue_sound_request(s, n, kind, arg);
    EXPECT_TRUE(t);
    return t.value_or(0);
  }

  // LOOP as SOUND gives it: the limit directly, the decoder's passes queued.
  void loop(media::SoundNode* n, int32_t passes) {
    {
      std::lock_guard<std::recursive_mutex> g(lock);
      n->ch.loop_limit = passes;
    }
    queue(n, media::SoundRequestKind::set_loop, passes);
  }

  // Loads a file into `n` as SOUND FILE does, and carries it out.
  bool load(media::SoundNode* n, const std::string& path) {
    auto bytes = std::make_shared<const std::vector<uint8_t>>(file_bytes(path));
    {
      std::lock_guard<std::recursive_mutex> g(lock);
      n->ch.format = path.ends_with(".ogg") ? media::SoundFormat::ogg : media::SoundFormat::wav;
    }
    auto t = media::queue_sound_request(s, n, media::SoundRequestKind::load, 0, path, bytes);
    return t && settle(*t);
  }

  // Queues LoadSound with raw bytes.
  void queue_sound_request_bytes(media::SoundNode* n, const std::vector<uint8_t>& bytes) {
    auto file = std::make_shared<const std::vector<uint8_t>>(bytes);
    EXPECT_TRUE(media::queue_sound_request(s, n, media::SoundRequestKind::load, 0, "x", file));
  }

  // Queues PLAY with a fade and runs until it is carried out; returns the
  // clock time (us) of the cycle that started the voice.
  uint64_t play(media::SoundNode* n, int32_t fade = 0) {
    const uint64_t t = queue(n, media::SoundRequestKind::play, fade);
    settle(t);
    return clock->now_us();
  }

  // A node playing `seconds` of a 500 Hz stereo tone at half scale.
  media::SoundNode* playing_tone(const std::string& name, double seconds) {
    const std::string wav =
        sox_make(dir, name + ".wav", "-r 44100 -c 2 -b 16", "synth " + std::to_string(seconds) + " sine 500 vol 0.5");
    media::SoundNode* n = node(name);
    EXPECT_TRUE(load(n, wav));
    play(n);
    return n;
  }

  static size_t frame_at(uint64_t us) { return size_t(us * 44100 / 1000000); }

  media::SoundChannel& ch(media::SoundNode* n) { return n->ch; }

  // Ends the engine as the thread would and reads the whole output.
  Pcm finish() {
    media::finish_sound_thread(s);
    audio.reset();
    return read_pcm16(out_path);
  }
};

}  // namespace nv::test
