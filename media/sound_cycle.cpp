#include "media/sound_cycle.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "media/sound_levels.h"
#include "media/sound_math.h"
#include "media/sound_pause.h"
#include "media/sound_requests.h"
#include "media/sound_state.h"
#include "media/sound_stream.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/encoding.h"

namespace nv::media {

namespace {

constexpr uint32_t kBusyRestMs = 3;
constexpr uint32_t kIdleRestMs = 20;
constexpr int kErrChainedOgg = 1045;

bool playing_state(PlayState st) { return st > PlayState::loaded; }

// Sounds that are playing now: a live voice, not held.
bool sounding(const SoundChannel& ch) { return playing_state(ch.state) && ch.voice && !ch.paused; }

int apply_global_pause(SoundState& s, int64_t now) {
  const bool should = s.hold.load() || (!s.background_exec.load() && !s.window_active.load());
  if (should == s.global_pause) return 1;
  s.global_pause = should;
  return hold_tree(s, s.tree.root, should, now);
}

int run_requests(SoundState& s, int64_t now) {
  SoundRequestRing& ring = s.ring;
  while (!ring.empty()) {
    SoundRequest& r = ring.slots[ring.read % kSoundRingSlots];
    if (!r.node) {
      finish_sound_request(ring);
      continue;
    }
    const int result = handle_sound_request(s, r, now);
    if (result < 0) return result;
    if (result == 0) break;  // tried again next cycle
    finish_sound_request(ring);
  }
  return 1;
}

void step_fade(SoundNode& n, int64_t now) {
  SoundChannel& ch = n.ch;
  if (ch.state != PlayState::fading_in && ch.state != PlayState::stopping) return;
  if (ch.paused) {
    // The fade waits while the sound is held.
    ch.fade_start_time += now - ch.pause_stamp;
    ch.pause_stamp = now;
    return;
  }
  const int64_t elapsed = now - ch.fade_start_time;
  if (ch.state == PlayState::fading_in && elapsed < 0) {
    apply_near_silent(n);
  } else {
    const FadeStep f = fade_step(ch.fade_start_volume, ch.fade_slope, elapsed, ch.fade_target);
    if (f.reached) ch.fade_ended = true;
    apply_volume(n, f.volume);
    ch.volume = f.volume;
  }
  if (!ch.fade_ended) return;
  ch.fade_ended = false;
  if (ch.state == PlayState::fading_in) {
    ch.state = PlayState::steady;
    return;
  }
  ch.volume = kFullVolume;
  ch.fade_start_volume = 0;
  ch.fade_target = kFullVolume;
  ch.previous_target = kFullVolume;
  ch.state = PlayState::idle;
  release_playback(ch, true);
}

void track(SoundNode& n) {
  SoundChannel& ch = n.ch;
  advance_played(n);
  const int64_t end_bytes = bytes_of_ms(ch.end, ch.bytes_per_second);
  if (ms_of_bytes(ch.played_bytes, ch.bytes_per_second) < ch.end) return;
  const int32_t count = ch.loop_count + 1;
  const bool last = (ch.loop_limit > 0 && count >= ch.loop_limit) || (ch.drained && count >= ch.decoder_passes);
  if (last) {
    ch.loop_limit = 0;
    ch.loop_count = 0;
    ch.played_bytes = 0;
    release_playback(ch, true);
    ch.state = PlayState::idle;
    return;
  }
  ch.loop_count = count;
  // The next pass began at RESTART; what has played of it already counts.
  ch.played_bytes = bytes_of_ms(ch.restart, ch.bytes_per_second) + (ch.played_bytes - end_bytes);
}

// Whether the voice has moved into the half last filled, so the other half
// is free for the next second.
bool wants_half(SoundChannel& ch) {
  uint32_t play = 0, write = 0;
  ch.voice->position(play, write);
  const uint32_t half = ch.buffer_size / 2;
  if (ch.last_half == 1 && write < half) {
    ch.last_half = 2;
    ch.write_offset = half;
    return true;
  }
  if (ch.last_half == 2 && write > half) {
    ch.last_half = 1;
    ch.write_offset = 0;
    return true;
  }
  return false;
}

void show_internal_error(SoundState& s, int code) {
  if (!s.host.show_box) return;
  s.host.show_box(platform::utf8_to_sjis("DEBUG Message"), platform::utf8_to_sjis(sound_error_text_utf8(code)));
}

}  // namespace

const char* sound_error_text_utf8(int code) {
  if (code == kErrChainedOgg) return "複数曲連結OGGには対応していません。";
  thread_local std::string text;
  char number[32];
  std::snprintf(number, sizeof number, "%d", code);
  text = std::string("エラー番号：") + number +
         "\n\nサウンド関係で内部エラーが発生しました。処理を停止します。\n\n"
         "このエラーが発生した場合、宜しければエラー番号と一緒に\n"
         "システム制作者までご報告いただけますと非常に助かります。";
  return text.c_str();
}

uint32_t sound_rest_ms_idle() { return kIdleRestMs; }

uint32_t sound_rest_ms(SoundState& s) {
  std::lock_guard<std::recursive_mutex> g(*s.host.lock);
  return s.ring.empty() ? kIdleRestMs : kBusyRestMs;
}

bool run_sound_cycle(SoundState& s) {
  platform::Clock& clock = *s.host.clock;
  const uint64_t now_us = clock.now_us();
  if (s.audio) s.audio->advance_to_us(now_us);
  const auto now = static_cast<int64_t>(now_us / 1000);
  int result = 1;
  std::vector<SoundNode*> refill;
  {
    std::lock_guard<std::recursive_mutex> g(*s.host.lock);
    const bool quit = s.host.quit->load();
    result = apply_global_pause(s, now);
    if (result > 0) result = run_requests(s, now);
    if (result > 0) for_each_sound_node(s.tree.root, [&](SoundNode& n) { step_fade(n, now); });
    if (result > 0) {
      for_each_sound_node(s.tree.root, [&](SoundNode& n) {
        if (sounding(n.ch)) track(n);
      });
      for_each_sound_node(s.tree.root, [&](SoundNode& n) {
        if (!sounding(n.ch)) return;
        if (quit) {
          apply_near_silent(n);
          n.ch.state = PlayState::idle;
        } else if (n.ch.first_half_pending || wants_half(n.ch)) {
          refill.push_back(&n);
        }
      });
    }
  }
  // Decoding a second of each voice needs no lock: only this thread changes
  // a playing sound's decoder fields, and the script thread frees a node only
  // after this thread has made it Idle. A voice just started or resumed
  // plays once its first half is there.
  for (SoundNode* n : refill) {
    if (result < 0) break;
    result = fill_half(n->ch);
    if (result > 0 && n->ch.first_half_pending) {
      n->ch.first_half_pending = false;
      n->ch.voice->play();
    }
  }
  if (result < 0) {
    s.internal_error = -result;
    show_internal_error(s, -result);
    s.host.quit->store(true);
    return false;
  }
  std::lock_guard<std::recursive_mutex> g(*s.host.lock);
  return !s.host.quit->load();
}

void finish_sound_thread(SoundState& s) {
  std::lock_guard<std::recursive_mutex> g(*s.host.lock);
  if (!s.host.clock->is_virtual()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  for_each_sound_node(s.tree.root, [](SoundNode& n) { release_playback(n.ch, true); });
  s.ended.store(kSoundThreadEnded);
}

}  // namespace nv::media
