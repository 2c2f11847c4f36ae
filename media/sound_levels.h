// Volume, pan and pitch applied to the voices of the sound tree.
#pragma once

#include <cstdint>

namespace nv::media {

struct SoundNode;

// A leaf's voice gets the attenuation of `v` as its effective volume; a set
// instead re-applies each descendant's own current volume under it.
void apply_volume(SoundNode& node, int32_t v);

// The near-silent volume: 2 under the node's parent chain.
void apply_near_silent(SoundNode& node);

void apply_pan(SoundNode& node);
void apply_pitch(SoundNode& node);

}  // namespace nv::media
