// The sound engine as the rest of the engine uses it: switching it on, the
// sound thread, queueing requests and waiting for them, the keep-alive sound,
// and removing nodes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "media/sound_state.h"

namespace nv::media {

// Sound is usable with an output; without one it stays off for the run.
void init_sound(SoundState& s, platform::AudioOut* audio);

// Starts the sound thread (once); it cycles until the quit flag is seen,
// following the clock in lock step.
void start_sound_thread(SoundState& s);

// Waits (in 1 ms steps of the clock) until the thread has ended, which it
// does at its next cycle once the quit flag is set, and joins it. Call it
// without the engine lock.
void join_sound_thread(SoundState& s);

// Queues a request under the engine lock; its ticket, or nothing when the
// ring is full (the request is not queued; the caller reports 110200).
std::optional<uint64_t> queue_sound_request(SoundState& s, SoundNode* node, SoundRequestKind kind, int32_t arg,
                                            std::string text = {}, SoundBytes file = {});

// Waits (1 ms steps of the clock, outside the lock) until the request is
// done. Returns false instead when the quit flag is set or the sound thread
// is not running, since then it never will be.
bool wait_sound_request(SoundState& s, uint64_t ticket);

// Makes the leaf "ROOT" under the tree root with the keep-alive key and
// queues its near-silent endless play.
void start_keep_alive(SoundState& s);

// Removes `node` and, for a set, everything under it, children first: each
// node is released by the sound thread, then unlinked and freed. Returns
// false when a release could not be queued (ring full) or waited for; the
// nodes not released yet stay.
bool remove_sound_node(SoundState& s, SoundNode& node, bool* ring_full = nullptr);

}  // namespace nv::media
