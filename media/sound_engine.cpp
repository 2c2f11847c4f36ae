#include "media/sound_engine.h"

#include <mutex>
#include <vector>

#include "media/sound_cycle.h"
#include "platform/clock.h"

namespace nv::media {

namespace {

constexpr int kShutDownPollLimit = 10000;  // 1 ms steps

// The thread follows the clock in lock step: on the virtual clock time stops
// at each of its cycles until the cycle is over, so the mix and every sound
// field change at the same moments in every run. The first rest takes no
// lock: the thread that started it may hold the engine lock meanwhile.
void sound_thread_main(SoundState& s, int follower) {
  platform::Clock& clock = *s.host.clock;
  uint32_t rest = sound_rest_ms_idle();
  for (;;) {
    if (!clock.follow_until(follower, clock.now_us() + uint64_t(rest) * 1000, &s.abandon)) break;
    if (!run_sound_cycle(s)) break;
    rest = sound_rest_ms(s);
  }
  finish_sound_thread(s);
  clock.remove_follower(follower);
}

}  // namespace

void init_sound(SoundState& s, platform::AudioOut* audio) {
  s.audio = audio;
  s.enabled = audio != nullptr;
}

void start_sound_thread(SoundState& s) {
  if (s.thread.joinable()) return;
  s.ended.store(kSoundThreadRunning);
  s.abandon.store(false);
  const int follower = s.host.clock->add_follower();
  s.thread = std::thread(sound_thread_main, std::ref(s), follower);
}

void join_sound_thread(SoundState& s) {
  if (!s.thread.joinable()) return;
  // Steps of the clock give the thread its cycles until it sees the quit
  // flag; a thread that does not end by then is let go without them.
  for (int i = 0; i < kShutDownPollLimit && s.ended.load() == kSoundThreadRunning; ++i) s.host.clock->sleep_ms(1);
  s.abandon.store(true);
  s.thread.join();
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

}  // namespace nv::media
