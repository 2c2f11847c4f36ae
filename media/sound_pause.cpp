#include "media/sound_pause.h"

#include <algorithm>

#include "media/sound_levels.h"
#include "media/sound_math.h"
#include "media/sound_state.h"
#include "media/sound_stream.h"

namespace nv::media {

namespace {
constexpr int kErrPauseNoVoice = 410;
constexpr int kErrResumeNoVoice = 430;

bool playing_state(PlayState st) { return st > PlayState::loaded; }
}  // namespace

bool sound_may_play(const SoundState& s, const SoundNode& node) {
  return !s.global_pause && path_enabled_and_unpaused(node);
}

void advance_played(SoundNode& node) {
  SoundChannel& ch = node.ch;
  const uint64_t c = ch.voice->consumed_frames();
  ch.played_bytes += int64_t(c - ch.last_consumed) * ch.wave.block_align;
  ch.last_consumed = c;
}

int hold_sound(SoundState& s, SoundNode& node, int64_t now_ms) {
  SoundChannel& ch = node.ch;
  if (!playing_state(ch.state) || ch.paused) return 1;
  if (s.host.quit->load()) {
    apply_near_silent(node);
    ch.state = PlayState::idle;
    return 1;
  }
  if (!ch.voice) return -kErrPauseNoVoice;
  advance_played(node);
  release_playback(ch, false);
  ch.paused = true;
  ch.pause_stamp = now_ms;
  return 1;
}

int unhold_sound(SoundState& s, SoundNode& node, int64_t now_ms) {
  (void)now_ms;
  SoundChannel& ch = node.ch;
  if (!playing_state(ch.state) || !ch.paused || !sound_may_play(s, node)) return 1;
  ch.last_half = 1;
  // The position reached becomes the start position.
  ch.start = static_cast<int32_t>(ms_of_bytes(ch.played_bytes, ch.bytes_per_second));
  ch.played_bytes = 0;
  ch.last_consumed = 0;
  ch.carry_count = 0;
  ch.pending_silence = 0;
  release_playback(ch, false);
  if (int r = create_playback(ch, *s.audio); r < 0) return r;
  if (ch.start >= ch.end) ch.start = 0;
  // Decoding starts again inside the pass reached, with the passes that
  // are left after it.
  ch.loops_remaining = ch.loop_limit > 0 ? std::max(ch.loop_limit - ch.loop_count, 1) : 0;
  ch.decoder_passes = ch.loop_count + 1;
  ch.drained = false;
  if (int r = seek_sound(ch, ch.start); r < 0) return r;
  ch.played_bytes = ch.decoded_bytes;
  ch.write_offset = 0;
  apply_volume(node, ch.fade_target);
  apply_pan(node);
  apply_pitch(node);
  if (!ch.voice) return -kErrResumeNoVoice;
  ch.first_half_pending = true;
  ch.paused = false;
  ch.pause_stamp = 0;
  return 1;
}

int hold_tree(SoundState& s, SoundNode& node, bool pause, int64_t now_ms) {
  int result = 1;
  for_each_sound_node(node, [&](SoundNode& n) {
    if (result < 0) return;
    result = pause ? hold_sound(s, n, now_ms) : unhold_sound(s, n, now_ms);
  });
  return result;
}

}  // namespace nv::media
