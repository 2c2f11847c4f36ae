#include "media/sound_ring.h"

namespace nv::media {

std::optional<uint64_t> put_sound_request(SoundRequestRing& ring, SoundNode* node, SoundRequestKind kind, int32_t arg,
                                          std::string text, SoundBytes file) {
  if (ring.pending() >= kSoundRingSlots - 1) return std::nullopt;
  SoundRequest& r = ring.slots[ring.write % kSoundRingSlots];
  r.node = node;
  r.kind = kind;
  r.arg = arg;
  r.text = std::move(text);
  r.file = std::move(file);
  r.ticket = ring.write;
  ++ring.write;
  return r.ticket;
}

bool sound_request_done(const SoundRequestRing& ring, uint64_t ticket) {
  return ring.slots[ticket % kSoundRingSlots].done.load(std::memory_order_acquire) > ticket;
}

void finish_sound_request(SoundRequestRing& ring) {
  SoundRequest& r = ring.slots[ring.read % kSoundRingSlots];
  r.file.reset();
  r.done.store(r.ticket + 1, std::memory_order_release);
  ++ring.read;
}

void forget_sound_requests(SoundRequestRing& ring, const SoundNode* node) {
  for (uint64_t t = ring.read; t != ring.write; ++t) {
    SoundRequest& r = ring.slots[t % kSoundRingSlots];
    if (r.node == node) r.node = nullptr;
  }
}

}  // namespace nv::media
