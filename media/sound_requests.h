// What the sound thread does with each request kind.
#pragma once

#include <cstdint>

namespace nv::media {

struct SoundState;
struct SoundRequest;

// Carries out `r` (its node is set). Returns 1 when done, 0 to leave it in
// the ring and try again next cycle, or the negated internal error number.
int handle_sound_request(SoundState& s, SoundRequest& r, int64_t now_ms);

}  // namespace nv::media
