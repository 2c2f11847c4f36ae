// SOUND: creates sounds and sets in the sound tree, loads their file and
// queues what the keywords ask, in a fixed order of steps; SOUNDEND removes
// them.
#include <algorithm>
#include <mutex>
#include <optional>
#include <string>

#include "core/assign_kind.h"
#include "core/engine.h"
#include "core/error_report.h"
#include "core/tree_path.h"
#include "formats/command_table.h"
#include "media/sound_commands.h"
#include "media/sound_engine.h"
#include "resources/file_loader.h"
#include "resources/media_resolver.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"

namespace nv::media {

namespace {

constexpr std::string_view kSound = "SOUND";

std::string_view text_of(const ArgSlots& a, int kw) { return a.has(kw) ? a.at(kw).text_view() : std::string_view(); }

// Queues a request; a full ring is reported (not fatal) and the request is
// dropped. The ticket of a queued request.
std::optional<uint64_t> queue(Engine& e, SoundNode* n, SoundRequestKind kind, int64_t arg, std::string text = {},
                              SoundBytes file = {}) {
  auto t = queue_sound_request(e.sound, n, kind, static_cast<int32_t>(arg), std::move(text), std::move(file));
  if (!t) report_ex(e, 110200, ReportFlags{.stop = false});
  return t;
}

// Queues a request and waits until the sound thread has carried it out.
// False when it was not queued or will never be carried out.
bool queue_and_wait(Engine& e, SoundNode* n, SoundRequestKind kind, int64_t arg, std::string text = {},
                    SoundBytes file = {}) {
  auto t = queue(e, n, kind, arg, std::move(text), std::move(file));
  return t && wait_sound_request(e.sound, *t);
}

PlayState state_of(Engine& e, const SoundNode& n) {
  std::lock_guard<std::recursive_mutex> g(e.lock);
  return n.ch.state;
}

// The node `p` names; only the script thread links and unlinks nodes, so
// it walks the tree without the lock. `missing_set` after a report of a
// missing set on the way.
SoundNode* find_sound(Engine& e, const NodePath& p, bool report_missing_set, bool* missing_set) {
  return static_cast<SoundNode*>(find_node_by_path(e, e.sound.tree.root, p, report_missing_set, missing_set));
}

SoundNode* create_sound(Engine& e, const NodePath& p) {
  auto* parent = static_cast<SoundNode*>(find_parent_set(e, e.sound.tree.root, p));
  if (!parent) return nullptr;
  std::lock_guard<std::recursive_mutex> g(e.lock);
  return add_sound_node(*parent, last_path_component(p.path), p.is_set, kSoundNodeKey);
}

// FILE: the sound is released if busy, the file found and read here, and
// its bytes handed to the sound thread with the name. 1 loaded, 0 nothing
// to do (not found, or the engine stops), -1 after a report.
int load_file_into(Engine& e, SoundNode& n, std::string_view name) {
  if (state_of(e, n) != PlayState::idle) {
    if (!queue_and_wait(e, &n, SoundRequestKind::release, 0) || state_of(e, n) != PlayState::idle) return 0;
  }
  res::FileRequest req;
  const int found = res::resolve_media(e, name, res::MediaKind::sound, req);
  if (found == res::kMediaError) return -1;
  if (found == res::kMediaNotFound) return 0;
  const int loaded = res::load_file(e, name, req, false, false);
  if (loaded == res::kLoadNotFound) return 0;
  if (loaded != res::kLoadOk) return -1;
  const FileType type = req.type != FileType::unknown ? req.type : res::file_type_of_name(req.name);
  if (type != FileType::wav && type != FileType::ogg) return report(e, 100030, {kSound, name});
  {
    std::lock_guard<std::recursive_mutex> g(e.lock);
    n.ch.format = type == FileType::ogg ? SoundFormat::ogg : SoundFormat::wav;
  }
  auto bytes = std::make_shared<const std::vector<uint8_t>>(std::move(req.data));
  return queue_and_wait(e, &n, SoundRequestKind::load, 0, req.name, std::move(bytes)) ? 1 : 0;
}

// A keyword's value with its assignment kind applied to the current
// value, within 0 .. `top`.
int64_t combined(const ArgSlot& s, int64_t current, int64_t top) {
  return std::clamp<int64_t>(apply_kind(current, s.value, s.assign_op), 0, top);
}

}  // namespace

int sound_command(Engine& e) {
  namespace K = kw::SOUND;
  if (evaluate_arguments(e) != 0) return -1;
  SoundState& s = e.sound;
  if (!s.enabled) return 0;
  const ArgSlots& a = e.args;
  NodePath path;
  if (!resolve_node_path(e, text_of(a, K::ID), SoundTree::kBasePath, path)) return -1;
  bool missing_set = false;
  SoundNode* n = find_sound(e, path, true, &missing_set);
  if (missing_set) return -1;
  const bool has_file = a.has(K::FILE);
  if (has_file && (path.is_set || (n && n->is_set))) return report(e, 101292, {kSound});
  if (!n) {
    if (!path.is_set && !has_file) return 0;
    n = create_sound(e, path);
    if (!n) return -1;
  }

  if (has_file) {
    const int r = load_file_into(e, *n, text_of(a, K::FILE));
    if (r <= 0) return r;
  }
  if (a.has(K::E)) {
    {
      std::lock_guard<std::recursive_mutex> g(e.lock);
      n->ch.e = static_cast<uint8_t>(a.at(K::E).value);
    }
    queue(e, n, SoundRequestKind::apply_volume, 0);
  }
  if (a.has(K::START)) queue(e, n, SoundRequestKind::set_start, a.at(K::START).value);
  if (a.has(K::RESTART)) queue(e, n, SoundRequestKind::set_restart, a.at(K::RESTART).value);
  if (a.has(K::END)) queue(e, n, SoundRequestKind::set_end, a.at(K::END).value);
  if (a.has(K::LOOP)) {
    const auto passes = static_cast<int32_t>(a.at(K::LOOP).value);
    {
      std::lock_guard<std::recursive_mutex> g(e.lock);
      n->ch.loop_limit = passes;
    }
    queue(e, n, SoundRequestKind::set_loop, passes);
  }
  int64_t volume = 0, pan = 0, pitch = 0;
  {
    std::lock_guard<std::recursive_mutex> g(e.lock);
    volume = n->ch.fade_target;
    pan = n->ch.pan;
    pitch = n->ch.pitch;
  }
  if (a.has(K::PAN)) queue(e, n, SoundRequestKind::set_pan, combined(a.at(K::PAN), pan, 512));
  if (a.has(K::PITCH)) queue(e, n, SoundRequestKind::set_pitch, combined(a.at(K::PITCH), pitch, 512));
  const bool has_play = a.has(K::PLAY);
  if (a.has(K::VOLUME)) {
    queue(e, n, has_play ? SoundRequestKind::set_fade_target : SoundRequestKind::set_volume,
          combined(a.at(K::VOLUME), volume, 256));
  }
  if (has_play) {
    const int64_t fade = a.value(K::FADE, 0);
    if (a.at(K::PLAY).value == 1) queue_and_wait(e, n, SoundRequestKind::play, fade);
    else queue(e, n, SoundRequestKind::stop, fade);
  }
  if (a.has(K::PAUSE)) queue_and_wait(e, n, SoundRequestKind::pause, a.at(K::PAUSE).value);
  // SPEED is accepted and does nothing.
  return 0;
}

int soundend_command(Engine& e) {
  namespace K = kw::SOUNDEND;
  if (evaluate_arguments(e) != 0) return -1;
  SoundState& s = e.sound;
  if (!s.enabled) return 0;
  NodePath path;
  if (!resolve_node_path(e, text_of(e.args, K::ID), SoundTree::kBasePath, path)) return -1;
  SoundNode* n = find_sound(e, path, false, nullptr);
  if (!n) return 0;
  // The tree root, "S0" and the keep-alive sound stay: ending the root or
  // "S0" ends every sound the scripts made, and "ROOT" is not theirs.
  if (n == s.tree.keep_alive) return 0;
  bool ring_full = false;
  if (n == &s.tree.root || n == s.tree.s0) {
    while (SoundNode* c = s.tree.s0->first_child())
      if (!remove_sound_node(s, *c, &ring_full)) break;
  } else {
    remove_sound_node(s, *n, &ring_full);
  }
  if (ring_full) report_ex(e, 110200, ReportFlags{.stop = false});
  return 0;
}

}  // namespace nv::media
