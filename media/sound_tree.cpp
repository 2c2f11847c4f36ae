#include "media/sound_tree.h"

#include "media/sound_math.h"

namespace nv::media {

SoundTree::SoundTree() { s0 = add_sound_node(root, kBasePath, true, kSoundNodeKey); }

SoundTree::~SoundTree() {
  while (SoundNode* c = root.first_child()) free_sound_node(*c);
}

SoundNode* add_sound_node(SoundNode& parent, std::string_view name, bool is_set, int64_t key) {
  auto* n = new SoundNode;
  name_node(*n, name, is_set);
  insert_child(parent, *n, key);
  return n;
}

void free_sound_node(SoundNode& node) {
  while (SoundNode* c = node.first_child()) free_sound_node(*c);
  detach_node(node);
  delete &node;
}

int32_t parent_chain_volume(const SoundNode& node) {
  const SoundNode* p = node.parent_node();
  if (!p || !p->parent) return kFullVolume;  // directly under the root
  return effective_volume(*p, p->ch.volume);
}

int32_t effective_volume(const SoundNode& node, int32_t own) {
  const int32_t v = node.ch.e == 1 ? own : 0;
  const SoundNode* p = node.parent_node();
  if (!p || !p->parent) return v;
  return nested_volume(v, parent_chain_volume(node));
}

bool path_enabled_and_unpaused(const SoundNode& node) {
  for (const SoundNode* n = &node; n && n->parent; n = n->parent_node()) {
    if (n->ch.e != 1 || n->ch.pause != 0) return false;
  }
  return true;
}

}  // namespace nv::media
