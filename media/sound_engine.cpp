#include "media/sound_engine.h"

#include <mutex>
#include <vector>

#include "media/sound_cycle.h"
#include "platform/clock.h"

namespace nv {

namespace {

void sound_thread_main(SoundState& s) {
  platform::Clock& clock = *s.host.clock;
  for (;;) {
    const uint32_t rest = sound_rest_ms(s);
    clock.wait_until_us(clock.now_us() + uint64_t(rest) * 1000, s.host.quit);
    if (!run_sound_cycle(s)) break;
  }
  finish_sound_thread(s);
}

}  // namespace

void init_sound(SoundState& s, platform::AudioOut* audio) {
  s.audio = audio;
  s.enabled = audio != nullptr;
}

void start_sound_thread(SoundState& s) {
  if (s.thread.joinable()) return;
  s.ended.store(kSoundThreadRunning);
  s.thread = std::thread(sound_thread_main, std::ref(s));
}

void join_sound_thread(SoundState& s) {
  if (s.thread.joinable()) s.thread.join();
}

std::optional<uint64_t> queue_sound_request(SoundState& s, SoundNode* node, SoundRequestKind kind, int32_t arg,
                                            std::string text, SoundBytes file) {
  std::lock_guard<std::recursive_mutex> g(*s.host.lock);
  return put_sound_request(s.ring, node, kind, arg, std::move(text), std::move(file));
}

bool wait_sound_request(SoundState& s, uint64_t ticket) {
  for (;;) {
    if (sound_request_done(s.ring, ticket)) return true;
    if (s.host.quit->load() || s.ended.load() != kSoundThreadRunning) return false;
    s.host.clock->sleep_ms(1);
  }
}

void start_keep_alive(SoundState& s) {
  SoundNode* n = nullptr;
  {
    std::lock_guard<std::recursive_mutex> g(*s.host.lock);
    n = add_sound_node(s.tree.root, "ROOT", false, kKeepAliveKey);
    n->ch.format = SoundFormat::wav;
    n->ch.file_name.assign(1, ' ');
    s.tree.keep_alive = n;
  }
  queue_sound_request(s, n, SoundRequestKind::set_volume, 2);
  queue_sound_request(s, n, SoundRequestKind::load, 0, " ");
  queue_sound_request(s, n, SoundRequestKind::play, 0);
}

bool remove_sound_node(SoundState& s, SoundNode& node, bool* ring_full) {
  // Children first, depth first.
  for (;;) {
    SoundNode* c = nullptr;
    {
      std::lock_guard<std::recursive_mutex> g(*s.host.lock);
      c = node.first_child();
    }
    if (!c) break;
    if (!remove_sound_node(s, *c, ring_full)) return false;
  }
  const std::optional<uint64_t> t = queue_sound_request(s, &node, SoundRequestKind::release, 0);
  if (!t) {
    if (ring_full) *ring_full = true;
    return false;
  }
  if (!wait_sound_request(s, *t)) return false;
  std::lock_guard<std::recursive_mutex> g(*s.host.lock);
  if (node.ch.state != PlayState::idle) return false;
  forget_sound_requests(s.ring, &node);
  if (s.tree.keep_alive == &node) s.tree.keep_alive = nullptr;
  if (s.tree.s0 == &node) s.tree.s0 = nullptr;
  free_sound_node(node);
  return true;
}

}  // namespace nv
