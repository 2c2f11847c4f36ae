// The sound tree: the shared node shape (runtime/tree_node.h) with a
// `SoundChannel` on every node, the root included. At start the root holds
// the set "S0", against which script IDs are resolved, and the leaf "ROOT"
// that carries the keep-alive sound. The tree owns its nodes; insertion and
// removal happen under the engine lock, since the sound thread walks the
// tree every cycle.
#pragma once

#include <cstdint>
#include <string_view>

#include "media/sound_channel.h"
#include "core/tree_node.h"

namespace nv::media {

struct SoundNode : TreeNode {
  SoundChannel ch;

  SoundNode* parent_node() const { return static_cast<SoundNode*>(parent); }
  SoundNode* first_child() const { return static_cast<SoundNode*>(first); }
  SoundNode* next_sibling() const { return static_cast<SoundNode*>(next); }
};

struct SoundTree {
  SoundNode root;
  SoundNode* s0 = nullptr;          // the base set of script IDs
  SoundNode* keep_alive = nullptr;  // "ROOT", made when sound is enabled
  static constexpr std::string_view kBasePath = "S0";

  SoundTree();  // the root and "S0"
  ~SoundTree();
  SoundTree(const SoundTree&) = delete;
  SoundTree& operator=(const SoundTree&) = delete;
};

// A new node called `name` (a set or a leaf) under `parent` with ordering
// key `key` and a fresh channel.
SoundNode* add_sound_node(SoundNode& parent, std::string_view name, bool is_set, int64_t key);

// Unlinks and frees `node` and everything under it.
void free_sound_node(SoundNode& node);

// Calls `f` on `node` and every node under it, parents before children.
template <typename F>
void for_each_sound_node(SoundNode& node, F&& f) {
  f(node);
  for (SoundNode* c = node.first_child(); c;) {
    SoundNode* next = c->next_sibling();
    for_each_sound_node(*c, f);
    c = next;
  }
}

// The volume that reaches the output for `own` on this node: 0 when its E
// flag is not 1, else `own` scaled by each ancestor's effective volume below
// the tree root.
int32_t effective_volume(const SoundNode& node, int32_t own);

// The effective volume of the node's parent chain (256 directly under the
// root).
int32_t parent_chain_volume(const SoundNode& node);

// Whether every node from `node` up to the root has E 1 and its pause flag
// clear.
bool path_enabled_and_unpaused(const SoundNode& node);

}  // namespace nv::media
