// What comes out of the engine for volume, pan, pitch and fades, measured
// on real files.
#include <gtest/gtest.h>

#include "media/sound_math.h"
#include "tests/media/sound_rig.h"

namespace nv::media {
namespace {

using test::SoundRig;


TEST(SoundLevels, AnOggAtFullVolumeIsReproducedBitExactly) {
  SoundRig rig;
  // Several seconds, so that the two-second voice wraps and is refilled
  // half by half, each half decoded from a freshly opened stream.
  const std::string ogg = test::ogg_make(rig.dir, "music.ogg", "-r 44100 -c 2 -b 16",
                                         "synth 4.5 sine 300:900 sine 500 pinknoise remix 1,3 2,3 vol 0.4");
  ASSERT_FALSE(ogg.empty());
  const std::string ref = (rig.dir.path() / "ref.wav").string();
  ASSERT_TRUE(test::run_quiet("oggdec -Q -o " + test::sh(ref) + " " + test::sh(ogg)));
  const test::Pcm want = test::read_pcm16(ref);
  ASSERT_EQ(want.frames(), size_t(4.5 * 44100));

  SoundNode* n = rig.node("bgm");
  ASSERT_TRUE(rig.load(n, ogg));
  rig.loop(n, 1);
  const size_t first = SoundRig::frame_at(rig.play(n));
  rig.run_for(6000);
  EXPECT_EQ(rig.ch(n).state, PlayState::idle);
  const test::Pcm got = rig.finish();
  ASSERT_GE(got.frames(), first + want.frames());
  // PLAY fades in from 0 (FADE 0 reaches the volume on the next cycle): the
  // first cycle is silent, everything after it the decoded file exactly.
  size_t k = 0;
  while (k < want.frames() && got.at(first + k, 0) == 0 && got.at(first + k, 1) == 0) ++k;
  EXPECT_LE(k, size_t(44100 * 20 / 1000));
  for (size_t i = k; i < want.frames(); ++i) {
    ASSERT_EQ(got.at(first + i, 0), want.at(i, 0)) << "frame " << i;
    ASSERT_EQ(got.at(first + i, 1), want.at(i, 1)) << "frame " << i;
  }
  for (size_t f = first + want.frames(); f < got.frames(); ++f) ASSERT_EQ(got.at(f, 0), 0);
}

TEST(SoundLevels, VolumeSetsAndPanMeasureAsTheirDecibels) {
  SoundRig rig;
  const std::string tone = test::sox_make(rig.dir, "tone.wav", "-r 44100 -c 2 -b 16", "synth 10 sine 1000 vol 0.5");
  SoundNode* set = rig.node("grp", true);
  SoundNode* a = rig.node("a", false, set);
  ASSERT_TRUE(rig.load(a, tone));
  rig.play(a);
  rig.run_for(1000);  // 0..1 s: full
  rig.queue(a, SoundRequestKind::set_volume, 128);
  rig.run_for(1000);  // 1..2 s: -12.04 dB
  rig.queue(set, SoundRequestKind::set_volume, 128);
  rig.run_for(1000);  // 2..3 s: -24.08 dB
  rig.queue(set, SoundRequestKind::set_volume, 256);
  rig.queue(a, SoundRequestKind::set_volume, 256);
  rig.queue(a, SoundRequestKind::set_pan, 0);
  rig.run_for(1000);  // 3..4 s: left only
  rig.queue(a, SoundRequestKind::set_pan, 128);
  rig.run_for(1000);  // 4..5 s: right at -12.04 dB
  const std::string path = rig.out_path;
  rig.finish();
  // Inner 0.8 s of each second, well away from the cycle the change lands in.
  const double full = test::sox_rms_db(path, 1, 0.1, 0.8);
  EXPECT_NEAR(full, -9.03, 0.05);
  EXPECT_NEAR(test::sox_rms_db(path, 1, 1.1, 0.8) - full, -12.04, 0.05);
  EXPECT_NEAR(test::sox_rms_db(path, 2, 1.1, 0.8) - full, -12.04, 0.05);
  EXPECT_NEAR(test::sox_rms_db(path, 1, 2.1, 0.8) - full, -24.08, 0.05);
  EXPECT_NEAR(test::sox_rms_db(path, 1, 3.1, 0.8) - full, 0.0, 0.05);
  const test::Pcm pcm = test::read_pcm16(path);
  for (int16_t s : test::channel_of(pcm, 1, size_t(3.1 * 44100), size_t(0.8 * 44100))) ASSERT_EQ(s, 0);
  EXPECT_NEAR(test::sox_rms_db(path, 1, 4.1, 0.8) - full, 0.0, 0.05);
  EXPECT_NEAR(test::sox_rms_db(path, 2, 4.1, 0.8) - full, -12.04, 0.05);
}

TEST(SoundLevels, PitchChangesTheFrequency) {
  SoundRig rig;
  const std::string tone = test::sox_make(rig.dir, "k.wav", "-r 44100 -c 1 -b 16", "synth 10 sine 1000 vol 0.5");
  SoundNode* n = rig.node("p");
  ASSERT_TRUE(rig.load(n, tone));
  rig.queue(n, SoundRequestKind::set_pitch, 512);
  rig.play(n);
  rig.run_for(1000);
  rig.queue(n, SoundRequestKind::set_pitch, 0);
  rig.run_for(1000);
  const test::Pcm pcm = rig.finish();
  EXPECT_NEAR(test::crossing_frequency(test::channel_of(pcm, 0, 4410, 35280), 44100), 1500.0, 1.0);
  EXPECT_NEAR(test::crossing_frequency(test::channel_of(pcm, 1, 48510, 35280), 44100), 500.0, 1.0);
}

TEST(SoundLevels, AFadeFollowsItsSlopeCycleByCycle) {
  SoundRig rig;
  const std::string tone = test::sox_make(rig.dir, "f.wav", "-r 44100 -c 1 -b 16", "synth 5 sine 1000 vol 0.5");
  SoundNode* n = rig.node("f");
  ASSERT_TRUE(rig.load(n, tone));
  const uint64_t t0 = rig.play(n, 1000);  // fade in over a second
  // Record the volume each cycle sets and when.
  std::vector<std::pair<uint64_t, int32_t>> steps;
  while (rig.clock->now_us() < t0 + 1200000) {
    rig.run_for(1);
    steps.emplace_back(rig.clock->now_us(), rig.ch(n).volume);
  }
  EXPECT_EQ(rig.ch(n).state, PlayState::steady);
  const test::Pcm pcm = rig.finish();
  const std::vector<int16_t> src = test::channel_of(test::read_pcm16(tone), 0);
  const int32_t slope = fade_slope(256, 0, 1000);
  // Between two cycles the output holds the volume the first one set:
  // RMS = source RMS + 20 log10(gain of attenuation(volume)).
  for (size_t i = 0; i + 1 < steps.size(); ++i) {
    const auto [at, volume] = steps[i];
    const int64_t elapsed = int64_t(at - t0) / 1000;
    EXPECT_EQ(volume, std::min<int64_t>(256, elapsed * slope / 1024)) << elapsed;
    const size_t from = SoundRig::frame_at(at), to = SoundRig::frame_at(steps[i + 1].first);
    if (volume < 8 || to - from < 400) continue;
    const double want = test::rms_db(std::vector<int16_t>(src.begin() + long(from - SoundRig::frame_at(t0)),
                                                          src.begin() + long(to - SoundRig::frame_at(t0)))) +
                        attenuation_of_volume(volume) / 100.0;
    EXPECT_NEAR(test::rms_db(test::channel_of(pcm, 0, from, to - from)), want, 0.02) << "volume " << volume;
  }
}

}  // namespace
}  // namespace nv::media
