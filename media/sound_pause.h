// Holding and releasing sounds: a held sound keeps its file data and its
// state but gives up its voice and stream buffers; releasing it makes the
// voice again and plays on from where it was held.
#pragma once

#include <cstdint>

namespace nv::media {

struct SoundState;
struct SoundNode;

// Whether a held sound may play again: no global pause, and every node on
// its path up to the root enabled (E 1) with its pause flag clear.
bool sound_may_play(const SoundState& s, const SoundNode& node);

// Frames the voice has taken since the last look, added to the played bytes.
void advance_played(SoundNode& node);

// Holds one sound (playing states only, not already held). With the quit
// flag set the sound only goes near-silent and Idle. 1 or -error.
int hold_sound(SoundState& s, SoundNode& node, int64_t now_ms);

// Plays a held sound on, when sound_may_play. 1 or -error.
int unhold_sound(SoundState& s, SoundNode& node, int64_t now_ms);

// Holds (`pause`) or releases the node and everything under it.
int hold_tree(SoundState& s, SoundNode& node, bool pause, int64_t now_ms);

}  // namespace nv::media
