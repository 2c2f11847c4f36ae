// Whole titles through the nivalo program: `nivalo --headless --sound-out`
// writes the mix of a title's SOUND commands, which is measured here against
// the files sox and oggenc made for it (and oggdec's decoding of the Ogg).
// Each sound plays in its own stretch of the script's timeline; a stretch is
// found in the output by its first sounding frame.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "tests/media/sound_files.h"
#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"

namespace nv::media {
namespace {

using test::Pcm;
using test::sh;

constexpr size_t kRate = 44100;

bool silent(const Pcm& p, size_t f) { return p.at(f, 0) == 0 && p.at(f, 1) == 0; }

// The first sounding frame at or after `from`; frames() when none.
size_t onset(const Pcm& p, size_t from) {
  while (from < p.frames() && silent(p, from)) ++from;
  return from;
}

// The first frame of a silent run of at least `run` frames at or after `from`.
size_t silence_after(const Pcm& p, size_t from, size_t run = 2000) {
  for (size_t f = from; f < p.frames(); ++f) {
    size_t n = 0;
    while (f + n < p.frames() && silent(p, f + n) && n < run) ++n;
    if (n == run) return f;
    f += n;
  }
  return p.frames();
}

// Where in `src` the output from frame `at` continues: the smallest source
// frame whose next 16 frames match.
size_t source_offset(const Pcm& got, size_t at, const Pcm& src) {
  for (size_t k = 0; k + 16 <= src.frames(); ++k) {
    bool same = true;
    for (size_t i = 0; i < 16 && same; ++i)
      same = got.at(at + i, 0) == src.at(k + i, 0) && got.at(at + i, 1) == src.at(k + i, 1);
    if (same) return k;
  }
  return src.frames();
}

class SoundTitle : public ::testing::Test {
 protected:
  void SetUp() override {
    tone = test::sox_make(dir, "tone.wav", "-r 44100 -c 2 -b 16", "synth 1 sine 1000 vol 0.5");
    noise = test::sox_make(dir, "noise.wav", "-r 44100 -c 2 -b 16", "synth 1 pinknoise vol 0.3");
    music = test::ogg_make(dir, "music.ogg", "-r 44100 -c 2 -b 16", "synth 1.5 sine 300:900 sine 500 remix 1 2 vol 0.4");
    ASSERT_FALSE(tone.empty() || noise.empty() || music.empty());
    ASSERT_TRUE(test::run_quiet("oggdec -Q -o " + sh((dir.path() / "music-ref.wav").string()) + " " + sh(music)));
  }

  // Compiles `script` as the title's main.nvs (sound on) and runs it to its
  // END, writing the sound output to `out`. "" on success, else why not.
  std::string run_title(const std::string& script, const std::string& out) {
    dir.write("title.cfg", "width = 320\nheight = 240\nsound = 1\n");
    dir.write("main.nvs", "*SYSTEM_START\n" + script + "END\n");
    const std::string err = (dir.path() / "err.txt").string();
    if (std::system((std::string(VIZUD_PATH) + " --quiet " + dir.str() + " 2>" + sh(err)).c_str()) != 0)
      return "VIZud: " + test::slurp(err);
    const std::string cmd = std::string(NIVALO_PATH) + " --headless --frames 3000 --sound-out " +
                            sh((dir.path() / out).string()) + " " + dir.str() + " 2>" + sh(err);
    const int rc = std::system(cmd.c_str());
    if (!WIFEXITED(rc) || WEXITSTATUS(rc) != 0) return "nivalo failed: " + test::slurp(err);
    const std::string said = test::slurp(err);
    return said.empty() ? "" : "nivalo said: " + said;
  }
  Pcm output(const std::string& out) { return test::read_pcm16((dir.path() / out).string()); }
  std::string path(const std::string& out) { return (dir.path() / out).string(); }

  test::TempDir dir;
  std::string tone, noise, music;
};

TEST_F(SoundTitle, WavAndOggPlayAtTheirLevelsPansAndPitches) {
  const std::string script =
      "SOUND[ID=\"w\" FILE=\"noise.wav\" PLAY=1 LOOP=1]\n"
      "WAIT[TIME=1500]\n"
      "SOUND[ID=\"o\" FILE=\"music.ogg\" PLAY=1 LOOP=1]\n"
      "WAIT[TIME=2000]\n"
      "SOUND[ID=\"v\" FILE=\"tone.wav\" VOLUME=128]\n"
      "SOUND[ID=\"v\" PLAY=1 LOOP=1]\n"
      "WAIT[TIME=1500]\n"
      "SOUND[ID=\"g/\" VOLUME=128]\n"
      "SOUND[ID=\"g/t\" FILE=\"tone.wav\" VOLUME=128 PLAY=1 LOOP=1]\n"
      "WAIT[TIME=1500]\n"
      "SOUND[ID=\"p\" FILE=\"tone.wav\" PAN=0 PLAY=1 LOOP=1]\n"
      "WAIT[TIME=1500]\n"
      "SOUND[ID=\"h\" FILE=\"tone.wav\" PITCH=512 PLAY=1 LOOP=1]\n"
      "WAIT[TIME=1500]\n";
  ASSERT_EQ(run_title(script, "out.wav"), "");
  const Pcm got = output("out.wav");
  ASSERT_EQ(got.channels, 2);
  ASSERT_EQ(got.rate, int(kRate));

  // The WAV at full volume: the source bit for bit from the frame the fade
  // in from 0 reaches it (the next cycle), then silence.
  const Pcm src = test::read_pcm16(noise);
  size_t at = onset(got, 0);
  size_t k = source_offset(got, at, src);
  ASSERT_LE(k, kRate * 25 / 1000) << "the first cycle after PLAY sounds";
  for (size_t i = 0; k + i < src.frames(); ++i) {
    ASSERT_EQ(got.at(at + i, 0), src.at(k + i, 0)) << "frame " << i;
    ASSERT_EQ(got.at(at + i, 1), src.at(k + i, 1)) << "frame " << i;
  }
  size_t end = at + (src.frames() - k);
  EXPECT_EQ(silence_after(got, end - 1), end) << "LOOP 1 plays the file once";

  // The Ogg at full volume: oggdec's decoding bit for bit.
  const Pcm ref = test::read_pcm16(path("music-ref.wav"));
  at = onset(got, end);
  k = source_offset(got, at, ref);
  ASSERT_LE(k, kRate * 25 / 1000);
  for (size_t i = 0; k + i < ref.frames(); ++i) {
    ASSERT_EQ(got.at(at + i, 0), ref.at(k + i, 0)) << "frame " << i;
    ASSERT_EQ(got.at(at + i, 1), ref.at(k + i, 1)) << "frame " << i;
  }
  end = at + (ref.frames() - k);

  // VOLUME 128: -12.04 dB; a set at 128 over a sound at 128: -24.08 dB.
  // Measured by sox over the middle of each stretch.
  const double full = test::sox_rms_db(tone, 1, 0.2, 0.6);
  auto level_at = [&](size_t from, int channel = 1) {
    const size_t a = onset(got, from);
    return std::pair{test::sox_rms_db(path("out.wav"), channel, double(a) / kRate + 0.2, 0.6), a};
  };
  auto [vol128, a128] = level_at(end);
  EXPECT_NEAR(vol128 - full, -12.04, 0.05);
  end = silence_after(got, a128);
  auto [nested, anested] = level_at(end);
  EXPECT_NEAR(nested - full, -24.08, 0.05);
  end = silence_after(got, anested);

  // PAN 0: the left side at full level, the right side silent.
  auto [left, apan] = level_at(end, 1);
  EXPECT_NEAR(left - full, 0.0, 0.05);
  const size_t pan_end = silence_after(got, apan);
  for (size_t f = apan; f < pan_end; ++f) ASSERT_EQ(got.at(f, 1), 0) << "frame " << f;

  // PITCH 512: the 1 kHz tone at 1.5 kHz, for two thirds of a second.
  const size_t ahigh = onset(got, pan_end);
  const size_t high_end = silence_after(got, ahigh);
  EXPECT_NEAR(test::crossing_frequency(test::channel_of(got, 0, ahigh + 2000, kRate / 3), int(kRate)), 1500.0, 2.0);
  EXPECT_NEAR(double(high_end - ahigh), double(kRate) * 2 / 3, kRate * 25 / 1000);
}

TEST_F(SoundTitle, LoopsPausesAndFadesFollowTheScript) {
  const std::string script =
      "SOUND[ID=\"l\" FILE=\"tone.wav\" PLAY=1 LOOP=3]\n"
      "WAIT[TIME=3500]\n"
      "SOUND[ID=\"q\" FILE=\"noise.wav\" PLAY=1 LOOP=1]\n"
      "WAIT[TIME=400]\n"
      "SOUND[ID=\"q\" PAUSE=1]\n"
      "WAIT[TIME=300]\n"
      "SOUND[ID=\"q\" PAUSE=0]\n"
      "WAIT[TIME=1200]\n"
      "SOUND[ID=\"f\" FILE=\"tone.wav\" VOLUME=256 FADE=800 PLAY=1 LOOP=1]\n"
      "WAIT[TIME=1500]\n";
  ASSERT_EQ(run_title(script, "out.wav"), "");
  const Pcm got = output("out.wav");
  const Pcm src = test::read_pcm16(tone);

  // LOOP 3: three passes without a seam (each frame the source's, wrapping
  // at its end), then silence.
  size_t at = onset(got, 0);
  size_t k = source_offset(got, at, src);
  ASSERT_LE(k, kRate * 25 / 1000);
  const size_t passes = 3 * src.frames() - k;
  for (size_t i = 0; i < passes; ++i) {
    ASSERT_EQ(got.at(at + i, 0), src.at((k + i) % src.frames(), 0)) << "frame " << i;
    ASSERT_EQ(got.at(at + i, 1), src.at((k + i) % src.frames(), 1)) << "frame " << i;
  }
  size_t end = at + passes;
  EXPECT_EQ(silence_after(got, end - 1), end);

  // PAUSE 1 then 0: a gap of about 300 ms, and the sound goes on from the
  // frame it stopped at.
  const Pcm nsrc = test::read_pcm16(noise);
  at = onset(got, end);
  k = source_offset(got, at, nsrc);
  ASSERT_LE(k, kRate * 25 / 1000);
  size_t f = at, i = k, gap = 0;
  while (i < nsrc.frames()) {
    if (silent(got, f) && !(nsrc.at(i, 0) == 0 && nsrc.at(i, 1) == 0)) {
      ++gap;
      ++f;
      continue;
    }
    ASSERT_EQ(got.at(f, 0), nsrc.at(i, 0)) << "source frame " << i;
    ASSERT_EQ(got.at(f, 1), nsrc.at(i, 1)) << "source frame " << i;
    ++f;
    ++i;
  }
  EXPECT_NEAR(double(gap), 0.3 * kRate, 0.025 * kRate);
  end = f;

  // FADE 800 to 256: the level rises window by window and is at full level
  // after the fade; halfway the volume is 128, -12.04 dB (a cycle's step).
  at = onset(got, end);
  const double full = test::rms_db(test::channel_of(src, 0, 0, kRate / 2));
  double last = -INFINITY;
  for (size_t w = 0; w < 16; ++w) {
    const double level = test::rms_db(test::channel_of(got, 0, at + w * kRate / 20, kRate / 20));
    EXPECT_GT(level, last) << "window " << w;
    last = level;
  }
  EXPECT_NEAR(test::rms_db(test::channel_of(got, 0, at + kRate * 390 / 1000, kRate / 50)) - full, -12.04, 1.0);
  EXPECT_NEAR(test::rms_db(test::channel_of(got, 0, at + kRate * 850 / 1000, kRate / 10)) - full, 0.0, 0.01);
}

// The first frame of channel 0 whose level passes `threshold`.
size_t first_loud(const Pcm& p, int16_t threshold) {
  size_t f = 0;
  while (f < p.frames() && std::abs(int(p.at(f, 0))) < threshold) ++f;
  return f;
}

// Normalised correlation of channel 0 of `a` from `from_a` and `b` from
// `from_b` over `n` frames.
double correlation(const Pcm& a, size_t from_a, const Pcm& b, size_t from_b, size_t n) {
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < n && from_a + i < a.frames() && from_b + i < b.frames(); ++i) {
    const double x = a.at(from_a + i, 0), y = b.at(from_b + i, 0);
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// A voice from espeak-ng (mono, 22050 frames a second) comes out at 44100
// on both sides, resampled: it follows sox's own resampling of the file.
TEST_F(SoundTitle, ASpokenVoiceAtItsOwnRateFollowsSoxsResampling) {
  const std::string voice = (dir.path() / "voice.wav").string();
  ASSERT_TRUE(test::run_quiet("espeak-ng -w " + sh(voice) + " 'The sound engine plays this voice at its own rate.'"));
  const std::string ref = (dir.path() / "voice-ref.wav").string();
  ASSERT_TRUE(test::run_quiet("sox " + sh(voice) + " -r 44100 -c 2 " + sh(ref)));
  ASSERT_EQ(run_title("SOUND[ID=\"v\" FILE=\"voice.wav\" PLAY=1 LOOP=1]\nWAIT[TIME=3500]\n", "out.wav"), "");
  const Pcm got = output("out.wav"), want = test::read_pcm16(ref);
  ASSERT_GT(want.frames(), kRate);
  const size_t at = first_loud(got, 300), from = first_loud(want, 300);
  ASSERT_LT(at, got.frames());
  // The voice's start may fall in the first, silent cycle after PLAY: the
  // alignment is searched over 60 ms, on the half second after the start.
  size_t best_lag = 0;
  double best = -1;
  for (size_t lag = at > 2650 ? at - 2650 : 0; lag < at + 2650; ++lag) {
    const double c = correlation(got, lag, want, from, kRate / 2);
    if (c > best) best = c, best_lag = lag;
  }
  EXPECT_GT(correlation(got, best_lag, want, from, want.frames() - from), 0.99) << "at " << at << " from " << from << " lag " << best_lag;
  for (size_t f = 0; f < got.frames(); ++f) ASSERT_EQ(got.at(f, 0), got.at(f, 1)) << "a mono voice is the same on both sides";
}

TEST_F(SoundTitle, TwoRunsWriteTheSameBytes) {
  const std::string script =
      "INT t\n"
      "SOUND[ID=\"m/\"]\n"
      "SOUND[ID=\"m/a\" FILE=\"music.ogg\" PLAY=1 FADE=300]\n"
      "SOUND[ID=\"b\" FILE=\"noise.wav\" PITCH=300 PAN=100 PLAY=1 LOOP=2]\n"
      "WAIT[TIME=700]\n"
      "SOUNDINFO[ID=\"m/a\" LET=t TIME=1]\n"
      "SOUND[ID=\"m/\" VOLUME=t/4]\n"
      "SOUND[ID=\"b\" PAUSE=1]\n"
      "WAIT[TIME=200]\n"
      "SOUND[ID=\"b\" PAUSE=0]\n"
      "SOUND[ID=\"m/a\" PLAY=0 FADE=500]\n"
      "WAIT[TIME=1500]\n";
  ASSERT_EQ(run_title(script, "one.wav"), "");
  ASSERT_EQ(run_title(script, "two.wav"), "");
  const std::string one = test::slurp(path("one.wav")), two = test::slurp(path("two.wav"));
  EXPECT_GT(one.size(), 44u + 2 * 4 * kRate);
  EXPECT_TRUE(one == two) << "the two runs' sound differs";
}

}  // namespace
}  // namespace nv::media
