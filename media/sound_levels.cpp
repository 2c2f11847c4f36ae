#include "media/sound_levels.h"

#include "media/sound_math.h"
#include "media/sound_tree.h"

namespace nv::media {

void apply_volume(SoundNode& node, int32_t v) {
  if (node.is_set) {
    for (SoundNode* c = node.first_child(); c; c = c->next_sibling()) apply_volume(*c, c->ch.volume);
    return;
  }
  if (node.ch.voice) node.ch.voice->set_volume(attenuation_of_volume(effective_volume(node, v)));
}

void apply_near_silent(SoundNode& node) {
  if (node.ch.voice) node.ch.voice->set_volume(attenuation_of_volume(near_silent_volume(parent_chain_volume(node))));
}

void apply_pan(SoundNode& node) {
  if (node.ch.voice) node.ch.voice->set_pan(pan_of(node.ch.pan));
}

void apply_pitch(SoundNode& node) {
  if (node.ch.voice) node.ch.voice->set_frequency(frequency_of_pitch(node.ch.pitch, node.ch.wave.rate));
}

}  // namespace nv::media
