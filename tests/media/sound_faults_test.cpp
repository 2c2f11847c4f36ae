// Inputs and orders of requests that must neither hang nor break the
// engine, and the internal errors that do end it.
#include <gtest/gtest.h>

#include "media/sound_levels.h"
#include "media/sound_math.h"
#include "tests/media/sound_rig.h"

namespace nv::media {
namespace {

using test::SoundRig;


void set_e(SoundRig& rig, SoundNode* n, uint8_t e) {
  {
    std::lock_guard<std::recursive_mutex> g(rig.lock);
    n->ch.e = e;
  }
  rig.queue(n, SoundRequestKind::apply_volume, 0);
}

TEST(SoundFaults, EndsThatLeaveNothingToPlayEndTheSound) {
  SoundRig rig;
  const std::string wav = test::sox_make(rig.dir, "w.wav", "-r 44100 -c 2 -b 16", "synth 1 sine 500 vol 0.5");
  const std::string ogg = test::ogg_make(rig.dir, "o.ogg", "-r 44100 -c 2 -b 16", "synth 1 sine 500 vol 0.5");
  struct Case {
    int32_t end, restart;
  } cases[] = {{0, 0}, {400, 600}, {400, 400}, {-100, 0}, {-100, -50}};
  int i = 0;
  for (const std::string& file : {wav, ogg}) {
    for (const Case& c : cases) {
      SoundNode* n = rig.node("e" + std::to_string(i++));
      ASSERT_TRUE(rig.load(n, file));
      rig.queue(n, SoundRequestKind::set_restart, c.restart);
      rig.queue(n, SoundRequestKind::set_end, c.end);  // no LOOP: endless passes
      rig.play(n);
      rig.run_for(1500);
      EXPECT_EQ(rig.ch(n).state, PlayState::idle) << file << " END " << c.end << " RESTART " << c.restart;
    }
  }
  EXPECT_TRUE(rig.boxes.empty());
  EXPECT_FALSE(rig.quit.load());
  // A negative RESTART with a positive END puts its silence before every
  // further pass.
  SoundNode* n = rig.node("neg");
  ASSERT_TRUE(rig.load(n, wav));
  rig.queue(n, SoundRequestKind::set_restart, -300);
  rig.queue(n, SoundRequestKind::set_end, 200);
  rig.loop(n, 3);
  const size_t first = SoundRig::frame_at(rig.play(n));
  rig.run_for(1500);
  EXPECT_EQ(rig.ch(n).state, PlayState::idle);
  EXPECT_TRUE(rig.boxes.empty());
  const test::Pcm out = rig.finish();
  // 200 ms of tone, 300 ms of silence, 200 ms of tone ...
  for (size_t pass = 0; pass < 3; ++pass) {
    const size_t at = first + pass * 500 * 441 / 10;
    if (pass > 0) {
      EXPECT_EQ(test::rms_db(test::channel_of(out, 0, at - 300 * 441 / 10 + 10, 13000)), -INFINITY) << pass;
    }
    EXPECT_NEAR(test::rms_db(test::channel_of(out, 0, at + 1000, 7000)), -9.03, 0.1) << pass;
  }
}

TEST(SoundFaults, StartAndEndAreHeldInsideTheFile) {
  SoundRig rig;
  const std::string wav = test::sox_make(rig.dir, "w.wav", "-r 22050 -c 1 -b 16", "synth 1.5 sine 500");
  SoundNode* n = rig.node("x");
  ASSERT_TRUE(rig.load(n, wav));
  EXPECT_EQ(rig.ch(n).total_time, 1500);
  EXPECT_EQ(rig.ch(n).end, 1500);
  rig.settle(rig.queue(n, SoundRequestKind::set_end, 99999));
  EXPECT_EQ(rig.ch(n).end, 1500);
  rig.settle(rig.queue(n, SoundRequestKind::set_start, 1500));
  EXPECT_EQ(rig.ch(n).start, 0);
  rig.settle(rig.queue(n, SoundRequestKind::set_restart, -20));
  EXPECT_EQ(rig.ch(n).restart, -20);
  // A start at or past the end plays from 0.
  rig.queue(n, SoundRequestKind::set_start, 1000);
  rig.queue(n, SoundRequestKind::set_end, 800);
  rig.play(n);
  EXPECT_EQ(rig.ch(n).start, 0);
}

TEST(SoundFaults, PausedSetsAndMutedPathsRaiseNoInternalError) {
  SoundRig rig;
  const std::string wav = test::sox_make(rig.dir, "w.wav", "-r 44100 -c 2 -b 16", "synth 3 sine 500 vol 0.5");
  SoundNode* set = rig.node("grp", true);
  SoundNode* a = rig.node("a", false, set);
  SoundNode* b = rig.node("b", false, set);
  ASSERT_TRUE(rig.load(a, wav));
  ASSERT_TRUE(rig.load(b, wav));
  rig.queue(a, SoundRequestKind::set_end, 2000);
  rig.play(a);
  rig.play(b);
  rig.run_for(200);
  rig.settle(rig.queue(set, SoundRequestKind::pause, 1));
  EXPECT_EQ(rig.ch(set).pause, 1);
  EXPECT_EQ(rig.ch(a).pause, 0);
  EXPECT_TRUE(rig.ch(a).paused && rig.ch(b).paused);
  rig.run_for(500);  // tracking and refill skip the held sounds
  // E 0 on the set: an unpause leaves the sounds held.
  set_e(rig, set, 0);
  rig.settle(rig.queue(set, SoundRequestKind::pause, 0));
  rig.run_for(300);
  EXPECT_TRUE(rig.ch(a).paused && !rig.ch(a).voice);
  EXPECT_TRUE(rig.boxes.empty());
  // E back to 1: they play on, and END survived the hold.
  set_e(rig, set, 1);
  rig.run_for(100);
  EXPECT_FALSE(rig.ch(a).paused);
  ASSERT_TRUE(rig.ch(a).voice);
  EXPECT_TRUE(rig.ch(a).voice->playing());
  EXPECT_EQ(rig.ch(a).end, 2000);
  EXPECT_EQ(rig.ch(a).volume, 256);
  EXPECT_TRUE(rig.boxes.empty());
  EXPECT_FALSE(rig.quit.load());
}

TEST(SoundFaults, AnInactiveWindowHoldsEverySoundUnlessBackgroundExecution) {
  SoundRig rig;
  rig.s.background_exec = false;
  SoundNode* n = rig.playing_tone("bgm", 10);
  rig.run_for(500);
  rig.s.window_active = false;
  rig.run_for(30);
  const uint64_t held = rig.clock->now_us();
  EXPECT_TRUE(rig.ch(n).paused);
  // A sound started during the hold waits for its end as well.
  SoundNode* late = rig.playing_tone("late", 2);
  EXPECT_TRUE(rig.ch(late).paused);
  rig.run_for(500);
  rig.s.window_active = true;
  rig.run_for(30);
  const uint64_t back = rig.clock->now_us();
  EXPECT_FALSE(rig.ch(n).paused);
  EXPECT_FALSE(rig.ch(late).paused);
  rig.s.background_exec = true;
  rig.s.window_active = false;
  rig.run_for(100);
  EXPECT_FALSE(rig.ch(n).paused);
  rig.s.hold = true;  // the hold flag counts regardless
  rig.run_for(30);
  EXPECT_TRUE(rig.ch(n).paused);
  const test::Pcm out = rig.finish();
  for (size_t f = SoundRig::frame_at(held); f < SoundRig::frame_at(back) - 1000; ++f) ASSERT_EQ(out.at(f, 0), 0);
  EXPECT_NEAR(test::rms_db(test::channel_of(out, 0, SoundRig::frame_at(back) + 2000, 2000)), -9.03 + 6.02, 0.3);
}

TEST(SoundFaults, ANewFileOnAHeldSoundPlaysAndStreams) {
  SoundRig rig;
  const std::string first = test::sox_make(rig.dir, "a.wav", "-r 44100 -c 1 -b 16", "synth 5 sine 300");
  const std::string second = test::sox_make(rig.dir, "b.wav", "-r 44100 -c 1 -b 16", "synth 5 sine 700 vol 0.5");
  SoundNode* n = rig.node("bgm");
  ASSERT_TRUE(rig.load(n, first));
  rig.play(n);
  rig.run_for(300);
  rig.settle(rig.queue(n, SoundRequestKind::pause, 1));
  // SOUND FILE= on a busy sound: release, load, play.
  rig.settle(rig.queue(n, SoundRequestKind::release, 0));
  EXPECT_EQ(rig.ch(n).state, PlayState::idle);
  EXPECT_EQ(rig.ch(n).pause, 0);
  ASSERT_TRUE(rig.load(n, second));
  const size_t start = SoundRig::frame_at(rig.play(n));
  rig.run_for(3500);
  EXPECT_FALSE(rig.ch(n).paused);
  EXPECT_GT(rig.ch(n).decoded_bytes, 3 * 88200);  // refilled beyond the first two seconds
  const test::Pcm out = rig.finish();
  const test::Pcm src = test::read_pcm16(second);
  const size_t at = 3 * 44100;
  for (size_t i = 0; i < 4410; ++i) ASSERT_EQ(out.at(start + at + i, 0), src.at(at + i, 0)) << i;
}

TEST(SoundFaults, TheRingHolds1023RequestsAndRefusesTheNext) {
  SoundRig rig;
  SoundNode* n = rig.node("v", true);
  for (int i = 1; i <= 1023; ++i)
    ASSERT_TRUE(queue_sound_request(rig.s, n, SoundRequestKind::set_volume, i % 257)) << i;
  EXPECT_FALSE(queue_sound_request(rig.s, n, SoundRequestKind::set_volume, 7));
  EXPECT_EQ(rig.s.ring.pending(), 1023u);
  // Nothing queued before is lost: they all run, in order.
  rig.run_for(10);
  EXPECT_TRUE(rig.s.ring.empty());
  EXPECT_EQ(rig.ch(n).volume, 1023 % 257);
  const auto t = queue_sound_request(rig.s, n, SoundRequestKind::set_volume, 9);
  ASSERT_TRUE(t);
  EXPECT_TRUE(rig.settle(*t));
  EXPECT_EQ(rig.ch(n).volume, 9);
}

TEST(SoundFaults, RequestsForAFreedNodeAreSkipped) {
  SoundRig rig;
  SoundNode* n = rig.node("gone");
  const uint64_t t = rig.queue(n, SoundRequestKind::set_volume, 5);
  {
    std::lock_guard<std::recursive_mutex> g(rig.lock);
    forget_sound_requests(rig.s.ring, n);
    free_sound_node(*n);
  }
  EXPECT_TRUE(rig.settle(t));
}

TEST(SoundFaults, LoadingABusySoundStopsItAndTriesAgain) {
  SoundRig rig;
  SoundNode* n = rig.playing_tone("busy", 3);
  rig.run_for(100);
  EXPECT_TRUE(rig.load(n, (rig.dir.path() / "busy.wav").string()));
  EXPECT_EQ(rig.ch(n).state, PlayState::loaded);
  EXPECT_TRUE(rig.boxes.empty());
}

// Loads `bytes` as `format` and runs; the box the engine showed.
std::string internal_error_of(const std::vector<uint8_t>& bytes, SoundFormat format) {
  SoundRig rig;
  SoundNode* n = rig.node("bad");
  {
    std::lock_guard<std::recursive_mutex> g(rig.lock);
    n->ch.format = format;
  }
  rig.queue_sound_request_bytes(n, bytes);
  rig.run_for(100);
  EXPECT_TRUE(rig.ended);
  EXPECT_TRUE(rig.quit.load());
  return rig.boxes.empty() ? std::string() : rig.boxes.front();
}

TEST(SoundFaults, InternalErrorsShowTheirBoxAndEndTheEngine) {
  test::TempDir dir;
  const std::vector<uint8_t> chained = test::chained_ogg(dir);
  EXPECT_EQ(internal_error_of(chained, SoundFormat::ogg), "DEBUG Message|複数曲連結OGGには対応していません。");

  const std::string generic =
      "\n\nサウンド関係で内部エラーが発生しました。処理を停止します。\n\n"
      "このエラーが発生した場合、宜しければエラー番号と一緒に\nシステム制作者までご報告いただけますと非常に助かります。";
  const std::string six = test::ogg_make(dir, "six.ogg", "-r 44100 -c 6 -b 16", "synth 0.3 sine 440");
  EXPECT_EQ(internal_error_of(test::file_bytes(six), SoundFormat::ogg), "DEBUG Message|エラー番号：1120" + generic);
  EXPECT_EQ(internal_error_of(std::vector<uint8_t>(300, 1), SoundFormat::ogg),
            "DEBUG Message|エラー番号：1030" + generic);
  const std::string deep = test::sox_make(dir, "d.wav", "-r 44100 -c 2 -b 24", "synth 0.3 sine 440");
  EXPECT_EQ(internal_error_of(test::file_bytes(deep), SoundFormat::wav), "DEBUG Message|エラー番号：10200" + generic);
  EXPECT_EQ(internal_error_of(test::file_bytes(six), SoundFormat::wav), "DEBUG Message|エラー番号：10040" + generic);
}

TEST(SoundFaults, TheKeepAliveSoundLoopsNearSilence) {
  SoundRig rig;
  start_keep_alive(rig.s);
  rig.run_for(2000);
  SoundNode* k = rig.s.tree.keep_alive;
  ASSERT_TRUE(k);
  EXPECT_EQ(k->name, "ROOT");
  EXPECT_EQ(k->z, kKeepAliveKey);
  EXPECT_EQ(rig.ch(k).state, PlayState::steady);
  EXPECT_EQ(rig.ch(k).volume, 2);
  EXPECT_EQ(rig.ch(k).total_time, 10);
  EXPECT_GT(rig.ch(k).loop_count, 50);
  ASSERT_TRUE(rig.ch(k).voice);
  EXPECT_EQ(rig.ch(k).voice->volume(), attenuation_of_volume(2));
  const test::Pcm out = rig.finish();
  for (int16_t s : out.samples) ASSERT_EQ(s, 0);
  EXPECT_TRUE(rig.boxes.empty());
}

TEST(SoundFaults, QuittingSilencesEverySoundAndFreesItAtTheEnd) {
  SoundRig rig;
  SoundNode* n = rig.playing_tone("q", 3);
  rig.run_for(200);
  rig.quit = true;
  rig.run_for(100);
  EXPECT_TRUE(rig.ended);
  EXPECT_EQ(rig.ch(n).state, PlayState::idle);
  ASSERT_TRUE(rig.ch(n).voice);
  EXPECT_EQ(rig.ch(n).voice->volume(), attenuation_of_volume(2));
  finish_sound_thread(rig.s);
  EXPECT_FALSE(rig.ch(n).voice);
  EXPECT_FALSE(rig.ch(n).file_data);
  EXPECT_EQ(rig.s.ended.load(), kSoundThreadEnded);
}

}  // namespace
}  // namespace nv::media
