#include "media/sound_requests.h"

#include <algorithm>
#include <utility>

#include "media/sound_levels.h"
#include "media/sound_math.h"
#include "media/sound_pause.h"
#include "media/sound_state.h"
#include "media/sound_stream.h"

namespace nv::media {

namespace {

constexpr int kErrPlayFromIdle = 110;
constexpr int kErrPlayFromLoaded = 120;

bool idle(const SoundChannel& ch) { return ch.state == PlayState::idle; }

// Silences and frees what a busy sound holds; it becomes Idle.
void stop_now(SoundNode& n) {
  apply_volume(n, 0);
  release_playback(n.ch, true);
  n.ch.paused = false;
  n.ch.pause_stamp = 0;
  n.ch.state = PlayState::idle;
}

int load(SoundState& s, SoundNode& n, SoundRequest& r) {
  SoundChannel& ch = n.ch;
  if (!idle(ch)) {
    stop_now(n);
    return 0;
  }
  ch.file_name = r.text;
  if (r.file) ch.kept = std::move(r.file);
  ch.pause = 0;
  ch.paused = false;
  ch.loops_remaining = 0;
  ch.loop_count = 0;
  ch.last_half = 1;
  ch.pan = kCentrePan;
  ch.pitch = kFilePitch;
  ch.start = ch.restart = ch.end = 0;
  ch.played_bytes = 0;
  if (int rc = load_sound(n, *s.audio); rc < 0) return rc;
  ch.state = PlayState::loaded;
  return 1;
}

// Playing from the start position: steps 2 to 5 of starting a loaded sound.
int start_loaded(SoundState& s, SoundNode& n, int32_t fade_ms, int play_error, int64_t now_ms) {
  SoundChannel& ch = n.ch;
  if (ch.start >= ch.end) ch.start = 0;
  ch.loop_count = 0;
  ch.decoder_passes = 1;
  ch.drained = false;
  if (int r = seek_sound(ch, ch.start); r < 0) return r;
  ch.played_bytes = ch.decoded_bytes;
  ch.last_half = 1;
  ch.write_offset = 0;
  apply_volume(n, 0);
  apply_pan(n);
  apply_pitch(n);
  if (!ch.voice) return -play_error;
  ch.first_half_pending = true;
  ch.fade_start_volume = 0;
  ch.fade_time = fade_ms;
  ch.fade_slope = fade_slope(ch.fade_target, 0, fade_ms);
  ch.state = PlayState::fading_in;
  // A sound started inside a paused set (or during the global pause) is
  // held at once, to play when the pause ends.
  bool held = s.global_pause;
  for (const SoundNode* p = &n; p && p->parent; p = p->parent_node()) held |= p->ch.pause != 0;
  return held ? hold_sound(s, n, now_ms) : 1;
}

void reset_play_marks(SoundChannel& ch, int64_t now_ms) {
  ch.last_consumed = 0;
  ch.carry_count = 0;
  ch.fade_start_time = now_ms;
  ch.fade_ended = false;
  ch.pending_silence = 0;
}

int play(SoundState& s, SoundNode& n, int32_t fade_ms, int64_t now_ms) {
  SoundChannel& ch = n.ch;
  switch (ch.state) {
    case PlayState::idle:
      if (ch.file_name.empty()) return 1;
      ch.last_half = 1;
      ch.start = 0;
      ch.played_bytes = 0;
      // The passes of a new play are LOOP's again.
      ch.loops_remaining = ch.loop_limit;
      reset_play_marks(ch, now_ms);
      if (int r = load_sound(n, *s.audio); r < 0) return r;
      ch.state = PlayState::loaded;
      return start_loaded(s, n, fade_ms, kErrPlayFromIdle, now_ms);
    case PlayState::loaded:
      reset_play_marks(ch, now_ms);
      return start_loaded(s, n, fade_ms, kErrPlayFromLoaded, now_ms);
    case PlayState::fading_in:
    case PlayState::steady:
      // A new fade from the volume reached towards the target.
      ch.fade_start_time = now_ms;
      ch.fade_ended = false;
      ch.fade_start_volume = ch.volume;
      ch.fade_time = fade_ms;
      ch.fade_slope = fade_slope(ch.fade_target, ch.volume, fade_ms);
      ch.state = PlayState::fading_in;
      return 1;
    case PlayState::stopping:
      // Stopped at once; the retry plays it again from the beginning.
      std::swap(ch.fade_start_volume, ch.fade_target);
      stop_now(n);
      return 0;
  }
  return 1;
}

void stop(SoundNode& n, int32_t fade_ms, int64_t now_ms) {
  SoundChannel& ch = n.ch;
  if (ch.state == PlayState::idle || ch.state == PlayState::loaded) return;
  const int32_t from = ch.state == PlayState::fading_in ? ch.previous_target : ch.volume;
  ch.fade_time = fade_ms;
  ch.fade_start_time = now_ms;
  ch.fade_ended = false;
  ch.fade_start_volume = ch.volume;
  ch.fade_target = 0;
  ch.fade_slope = fade_slope(0, from, fade_ms);
  ch.state = PlayState::stopping;
}

// Re-applies the volume under a changed E flag; sounds held only because E
// was 0 on their path play on.
int reapply_volume(SoundState& s, SoundNode& n, int64_t now_ms) {
  apply_volume(n, n.ch.volume);
  return hold_tree(s, n, false, now_ms);
}

}  // namespace

int handle_sound_request(SoundState& s, SoundRequest& r, int64_t now_ms) {
  SoundNode& n = *r.node;
  SoundChannel& ch = n.ch;
  const int32_t v = r.arg;
  switch (r.kind) {
    case SoundRequestKind::load: return load(s, n, r);
    case SoundRequestKind::play: return play(s, n, v, now_ms);
    case SoundRequestKind::pause:
      ch.pause = static_cast<uint8_t>(v);
      return hold_tree(s, n, v != 0, now_ms);
    case SoundRequestKind::stop: stop(n, v, now_ms); return 1;
    case SoundRequestKind::set_volume:
      ch.volume = ch.previous_target = ch.fade_target = v;
      apply_volume(n, v);
      return 1;
    case SoundRequestKind::set_fade_target:
      ch.previous_target = ch.fade_target;
      ch.fade_target = v;
      return 1;
    case SoundRequestKind::set_loop:
      if (!idle(ch)) ch.loops_remaining = v;
      return 1;
    case SoundRequestKind::set_end:
      if (!idle(ch)) ch.end = static_cast<int32_t>(std::min<int64_t>(v, ch.total_time));
      return 1;
    case SoundRequestKind::set_start:
      if (!idle(ch)) ch.start = v < ch.total_time ? v : 0;
      return 1;
    case SoundRequestKind::set_restart:
      if (!idle(ch)) ch.restart = v < ch.total_time ? v : 0;
      return 1;
    case SoundRequestKind::set_pan:
      if (!idle(ch)) {
        ch.pan = v;
        apply_pan(n);
      }
      return 1;
    case SoundRequestKind::set_pitch:
      if (!idle(ch)) {
        ch.pitch = v;
        apply_pitch(n);
      }
      return 1;
    case SoundRequestKind::apply_volume: return reapply_volume(s, n, now_ms);
    case SoundRequestKind::release:
      if (!idle(ch)) {
        ch.file_name.clear();
        ch.kept.reset();
        ch.pause = 0;
        stop_now(n);
      }
      return 1;
    case SoundRequestKind::none: return 1;
  }
  return 1;
}

}  // namespace nv::media
