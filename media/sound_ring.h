// `SoundRequestRing`: the script thread's requests to the sound thread.
// 1024 slots; a request counter for producers and one for the sound thread,
// the slot of a request being its number modulo 1024. The ring is empty when
// the two are equal and holds at most 1023 requests: a request that would
// fill it is refused before anything is written. Both counters and the
// slots are guarded by the engine lock; each slot's done mark is atomic so
// that a caller can wait for its request outside the lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "media/sound_channel.h"

namespace nv::media {

struct SoundNode;

constexpr uint32_t kSoundRingSlots = 1024;

struct SoundRequest {
  SoundNode* node = nullptr;
  SoundRequestKind kind = SoundRequestKind::none;
  int32_t arg = 0;         // the low 32 bits of the script value
  std::string text;        // LoadSound: the file name
  SoundBytes file;         // LoadSound: the file's bytes
  uint64_t ticket = 0;     // the request's number
  // The number + 1 of the last request carried out in this slot. Requests
  // are carried out in order, so a request is done once this reaches it.
  std::atomic<uint64_t> done{0};
};

struct SoundRequestRing {
  std::array<SoundRequest, kSoundRingSlots> slots;
  uint64_t read = 0;   // requests taken by the sound thread
  uint64_t write = 0;  // requests written by producers

  bool empty() const { return read == write; }
  uint64_t pending() const { return write - read; }
};

// Writes a request (the caller holds the engine lock). Returns its ticket,
// or nothing when the ring already holds 1023 requests.
std::optional<uint64_t> put_sound_request(SoundRequestRing& ring, SoundNode* node, SoundRequestKind kind, int32_t arg,
                                          std::string text = {}, SoundBytes file = {});

// Whether the request `ticket` has been carried out.
bool sound_request_done(const SoundRequestRing& ring, uint64_t ticket);

// Marks the request at the read position done and moves past it.
void finish_sound_request(SoundRequestRing& ring);

// Clears the node of every pending request for `node` (it is being freed):
// the sound thread then marks them done without acting.
void forget_sound_requests(SoundRequestRing& ring, const SoundNode* node);

}  // namespace nv::media
