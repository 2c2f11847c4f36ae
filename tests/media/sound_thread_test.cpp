// The sound thread running beside a script thread: waits that always end,
// and a hammering of requests, reads and removals (run under TSan too).
#include <gtest/gtest.h>

#include "media/sound_cycle.h"
#include "media/sound_engine.h"
#include "media/sound_math.h"
#include "platform/clock.h"
#include "platform/posix/real_clock.h"
#include "platform/headless/audio_headless.h"
#include "tests/media/sound_files.h"

namespace nv::media {
namespace {

struct Threaded {
  std::unique_ptr<platform::Clock> clock = platform::make_real_clock();
  std::recursive_mutex lock;
  std::atomic<bool> quit{false};
  std::unique_ptr<platform::AudioOut> audio;
  SoundState s;
  std::atomic<int> boxes{0};

  Threaded() {
    std::string error;
    audio = platform::make_headless_audio(44100, "", error);
    s.host = SoundHost{clock.get(), &lock, &quit, [this](const std::string&, const std::string&) { ++boxes; }};
    init_sound(s, audio.get());
    start_keep_alive(s);
    start_sound_thread(s);
  }
  ~Threaded() {
    quit = true;
    join_sound_thread(s);
  }

  SoundNode* node(const std::string& name, SoundNode* parent = nullptr) {
    std::lock_guard<std::recursive_mutex> g(lock);
    return add_sound_node(parent ? *parent : *s.tree.s0, name, false, kSoundNodeKey);
  }

  bool run(SoundNode* n, SoundRequestKind kind, int32_t arg = 0, SoundBytes file = {}) {
    auto t = queue_sound_request(s, n, kind, arg, file ? "f" : "", std::move(file));
    return t && wait_sound_request(s, *t);
  }
};

TEST(SoundThread, AWaitForARequestThatEndsTheEngineReturns) {
  test::TempDir dir;
  const std::vector<uint8_t> chained = test::chained_ogg(dir);
  Threaded t;
  SoundNode* n = t.node("chain");
  {
    std::lock_guard<std::recursive_mutex> g(t.lock);
    n->ch.format = SoundFormat::ogg;
  }
  EXPECT_FALSE(t.run(n, SoundRequestKind::load, 0, std::make_shared<const std::vector<uint8_t>>(chained)));
  EXPECT_TRUE(t.quit.load());
  join_sound_thread(t.s);
  EXPECT_EQ(t.s.ended.load(), kSoundThreadEnded);
  EXPECT_EQ(t.s.internal_error, 1045);
  EXPECT_EQ(t.boxes.load(), 1);
  // Later waits end at once.
  const auto late = queue_sound_request(t.s, n, SoundRequestKind::play, 0);
  ASSERT_TRUE(late);
  EXPECT_FALSE(wait_sound_request(t.s, *late));
}

TEST(SoundThread, RequestsReadsAndRemovalsFromTheScriptThread) {
  test::TempDir dir;
  const std::string ogg = test::ogg_make(dir, "m.ogg", "-r 22050 -c 1 -b 16", "synth 0.5 sine 440");
  const std::string wav = test::sox_make(dir, "w.wav", "-r 44100 -c 2 -b 8", "synth 0.4 sine 300");
  const SoundBytes files[] = {std::make_shared<const std::vector<uint8_t>>(test::file_bytes(ogg)),
                              std::make_shared<const std::vector<uint8_t>>(test::file_bytes(wav))};
  Threaded t;
  SoundNode* set = nullptr;
  {
    std::lock_guard<std::recursive_mutex> g(t.lock);
    set = add_sound_node(*t.s.tree.s0, "grp", true, kSoundNodeKey);
  }
  int64_t reads = 0;
  for (int round = 0; round < 12; ++round) {
    std::vector<SoundNode*> nodes;
    for (int i = 0; i < 4; ++i) {
      SoundNode* n = t.node("n" + std::to_string(i), set);
      {
        std::lock_guard<std::recursive_mutex> g(t.lock);
        n->ch.format = i % 2 ? SoundFormat::wav : SoundFormat::ogg;
        n->ch.loop_limit = 1 + i % 3;
      }
      ASSERT_TRUE(t.run(n, SoundRequestKind::load, 0, files[i % 2]));
      queue_sound_request(t.s, n, SoundRequestKind::set_loop, 1 + i % 3);
      queue_sound_request(t.s, n, SoundRequestKind::set_fade_target, 100 + 30 * i);
      ASSERT_TRUE(t.run(n, SoundRequestKind::play, 50));
      nodes.push_back(n);
    }
    for (int k = 0; k < 40; ++k) {
      SoundNode* n = nodes[size_t(k) % nodes.size()];
      switch (k % 5) {
        case 0: queue_sound_request(t.s, n, SoundRequestKind::set_pan, k * 11 % 513); break;
        case 1: queue_sound_request(t.s, n, SoundRequestKind::set_pitch, k * 13 % 513); break;
        case 2: t.run(set, SoundRequestKind::pause, k % 2); break;
        case 3: queue_sound_request(t.s, n, SoundRequestKind::stop, 30); break;
        case 4: t.run(n, SoundRequestKind::play, 0); break;
      }
      {
        // What SOUNDINFO reads.
        std::lock_guard<std::recursive_mutex> g(t.lock);
        const SoundChannel& ch = n->ch;
        reads += ch.volume + ch.pan + ch.loop_count + int64_t(ch.state) + ms_of_bytes(ch.played_bytes, ch.bytes_per_second);
      }
      t.clock->sleep_ms(2);
    }
    // Half the rounds leave their sounds playing for the set's removal.
    if (round % 2 == 0) {
      for (SoundNode* n : nodes) ASSERT_TRUE(remove_sound_node(t.s, *n));
    }
  }
  ASSERT_TRUE(remove_sound_node(t.s, *set));
  EXPECT_EQ(t.boxes.load(), 0);
  EXPECT_FALSE(t.quit.load());
  EXPECT_GT(reads, 0);
  std::lock_guard<std::recursive_mutex> g(t.lock);
  EXPECT_EQ(t.s.tree.s0->child_count, 0u);
}

TEST(SoundThread, AFullRingRefusesWhileTheThreadDrainsIt) {
  Threaded t;
  SoundNode* n = t.node("v");
  int accepted = 0, refused = 0;
  std::optional<uint64_t> last;
  {
    // Hold the lock so the thread cannot take anything meanwhile.
    std::lock_guard<std::recursive_mutex> g(t.lock);
    for (int i = 0; i < 1100; ++i) {
      auto r = queue_sound_request(t.s, n, SoundRequestKind::set_volume, i % 257);
      if (r) {
        ++accepted;
        last = r;
      } else {
        ++refused;
      }
    }
  }
  EXPECT_GE(accepted, 1020);  // the keep-alive's requests may still sit there
  EXPECT_EQ(accepted + refused, 1100);
  ASSERT_TRUE(last);
  EXPECT_TRUE(wait_sound_request(t.s, *last));
  std::lock_guard<std::recursive_mutex> g(t.lock);
  EXPECT_EQ(n->ch.volume, (accepted - 1) % 257);
}

}  // namespace
}  // namespace nv::media
