// Where the engine plays from: loops, START/RESTART/END, leading silence,
// pauses, measured on real files.
#include <gtest/gtest.h>

#include "tests/media/sound_rig.h"

namespace nv::media {
namespace {

using test::SoundRig;


// Ten 100 ms steps of 44100 Hz mono, step i a tone of 200 + 100 i Hz.
std::string staircase(const SoundRig& rig, int steps = 10, const std::string& format = "-r 44100 -c 1 -b 16") {
  std::string parts;
  for (int i = 0; i < steps; ++i) {
    const std::string p = test::sox_make(rig.dir, "step" + std::to_string(i) + ".wav", format,
                                         "synth 0.1 sine " + std::to_string(200 + 100 * i) + " vol 0.5");
    if (p.empty()) return {};
    parts += " " + test::sh(p);
  }
  const std::string out = (rig.dir.path() / "stair.wav").string();
  return test::run_quiet("sox" + parts + " " + test::sh(out)) ? out : std::string();
}

// The step a 100 ms window of the output plays (-1: silence or no step).
int step_at(const test::Pcm& pcm, size_t frame) {
  const std::vector<int16_t> w = test::channel_of(pcm, 0, frame + 441, 3528);
  const double f = test::crossing_frequency(w, 44100);
  if (f == 0) return -1;
  const double step = (f - 200) / 100;
  return std::abs(step - std::lround(step)) < 0.1 ? int(std::lround(step)) : -1;
}

TEST(SoundPositions, LoopThreeGivesThreeWholePassesThenSilence) {
  SoundRig rig;
  // 1 s of 1 kHz at 44100 Hz: exactly 1000 periods, so passes join smoothly.
  const std::string tone = test::sox_make(rig.dir, "t.wav", "-r 44100 -c 2 -b 16", "synth 1 sine 1000 vol 0.5");
  const test::Pcm src = test::read_pcm16(tone);
  ASSERT_EQ(src.frames(), 44100u);
  SoundNode* n = rig.node("se");
  ASSERT_TRUE(rig.load(n, tone));
  rig.loop(n, 3);
  const size_t first = SoundRig::frame_at(rig.play(n));
  rig.run_for(2500);
  EXPECT_EQ(rig.ch(n).loop_count, 2);
  rig.run_for(2500);
  EXPECT_EQ(rig.ch(n).state, PlayState::idle);
  EXPECT_EQ(rig.ch(n).loop_count, 0);  // reset after the last pass
  EXPECT_EQ(rig.ch(n).loop_limit, 0);
  const test::Pcm out = rig.finish();
  // PLAY fades in from 0: the volume arrives with the next cycle, 20 ms on.
  const size_t muted = 882;
  for (size_t i = 0; i < muted; ++i) ASSERT_EQ(out.at(first + i, 0), 0) << i;
  for (size_t i = muted; i < 3 * 44100; ++i) ASSERT_EQ(out.at(first + i, 0), src.at(i % 44100, 0)) << i;
  for (size_t f = first + 3 * 44100; f < out.frames(); ++f) ASSERT_EQ(out.at(f, 0), 0) << f;
}

TEST(SoundPositions, FurtherPassesStartAtRestartAndEndAtEnd) {
  SoundRig rig;
  const std::string stair = staircase(rig);
  ASSERT_FALSE(stair.empty());
  SoundNode* n = rig.node("s");
  ASSERT_TRUE(rig.load(n, stair));
  rig.queue(n, SoundRequestKind::set_restart, 200);
  rig.queue(n, SoundRequestKind::set_end, 600);
  rig.loop(n, 3);
  const size_t first = SoundRig::frame_at(rig.play(n));
  rig.run_for(2000);
  EXPECT_EQ(rig.ch(n).state, PlayState::idle);
  const test::Pcm out = rig.finish();
  const int want[] = {0, 1, 2, 3, 4, 5, 2, 3, 4, 5, 2, 3, 4, 5, -1, -1};
  for (size_t i = 0; i < std::size(want); ++i) EXPECT_EQ(step_at(out, first + i * 4410), want[i]) << "window " << i;
}

TEST(SoundPositions, NegativeStartPlaysThatMuchSilenceFirst) {
  SoundRig rig;
  struct Case {
    const char* format;
    int rate;
  } cases[] = {{"-r 44100 -c 2 -b 16", 44100}, {"-r 22050 -c 1 -b 8", 22050}};
  std::vector<std::pair<size_t, int>> starts;  // first output frame, rate
  for (const Case& c : cases) {
    const std::string name = "n" + std::to_string(c.rate);
    const std::string tone = test::sox_make(rig.dir, name + ".wav", c.format, "synth 0.5 sine 441 vol 0.5");
    SoundNode* n = rig.node(name);
    ASSERT_TRUE(rig.load(n, tone));
    rig.queue(n, SoundRequestKind::set_start, -250);
    rig.loop(n, 1);
    starts.emplace_back(SoundRig::frame_at(rig.play(n)), c.rate);
    rig.run_for(1500);
    EXPECT_EQ(rig.ch(n).state, PlayState::idle);
  }
  const test::Pcm out = rig.finish();
  for (auto [first, rate] : starts) {
    // 250 ms of the source's frames, at the output rate; an 8-bit file's
    // silence is 0x80, so it comes out as 0 (one resampled frame joins the
    // silence to the tone).
    const size_t silent = size_t(250 * rate / 1000) * 44100 / size_t(rate);
    const std::vector<int16_t> left = test::channel_of(out, 0, first, silent + 22050);
    ASSERT_EQ(left.size(), silent + 22050);
    for (size_t i = 0; i + (rate == 44100 ? 0 : 1) < silent; ++i) ASSERT_EQ(left[i], 0) << rate << " frame " << i;
    EXPECT_NE(left[silent + 25], 0) << rate;
    EXPECT_NEAR(test::crossing_frequency(std::vector<int16_t>(left.begin() + long(silent), left.end()), 44100), 441, 1)
        << rate;
  }
}

TEST(SoundPositions, PauseHoldsThePositionAndResumePlaysOnFromIt) {
  SoundRig rig;
  const std::string stair = staircase(rig);
  SoundNode* n = rig.node("v");
  ASSERT_TRUE(rig.load(n, stair));
  rig.queue(n, SoundRequestKind::set_end, 900);
  rig.loop(n, 2);
  const uint64_t t0 = rig.play(n);
  rig.run_for(330);
  rig.settle(rig.queue(n, SoundRequestKind::pause, 1));
  const uint64_t paused_at = rig.clock->now_us();
  EXPECT_TRUE(rig.ch(n).paused);
  EXPECT_FALSE(rig.ch(n).voice);
  rig.run_for(500);
  rig.settle(rig.queue(n, SoundRequestKind::pause, 0));
  const uint64_t resumed_at = rig.clock->now_us();
  // The position reached is the new start; END and the passes stay.
  const int32_t start = rig.ch(n).start;
  EXPECT_NEAR(double(start), double(paused_at - t0) / 1000, 25);
  EXPECT_EQ(rig.ch(n).end, 900);
  EXPECT_FALSE(rig.ch(n).paused);
  rig.run_for(2500);
  EXPECT_EQ(rig.ch(n).state, PlayState::idle);
  const test::Pcm out = rig.finish();
  const test::Pcm src = test::read_pcm16(stair);
  // Silence while held; then the file from `start` exactly.
  for (size_t f = SoundRig::frame_at(paused_at); f < SoundRig::frame_at(resumed_at); ++f) ASSERT_EQ(out.at(f, 0), 0);
  const size_t from = SoundRig::frame_at(resumed_at), at = size_t(start) * 441 / 10;
  for (size_t i = 0; i < 4410; ++i) ASSERT_EQ(out.at(from + i, 0), src.at(at + i, 0)) << i;
  // The rest of the first pass, then a second pass of 0..900 ms.
  const size_t second = from + (size_t(900 - start) * 441 / 10);
  EXPECT_EQ(step_at(out, second), 0);
  EXPECT_EQ(step_at(out, second + 8 * 4410), 8);
  EXPECT_EQ(step_at(out, second + 9 * 4410 + 441), -1);
}

TEST(SoundPositions, PlayWhileStoppingRestartsFromTheBeginning) {
  SoundRig rig;
  const std::string stair = staircase(rig);
  SoundNode* n = rig.node("r");
  ASSERT_TRUE(rig.load(n, stair));
  rig.play(n);
  rig.run_for(450);
  rig.queue(n, SoundRequestKind::stop, 1000);
  rig.run_for(100);
  EXPECT_EQ(rig.ch(n).state, PlayState::stopping);
  EXPECT_LT(rig.ch(n).volume, 256);
  const size_t first = SoundRig::frame_at(rig.play(n));
  EXPECT_EQ(rig.ch(n).state, PlayState::fading_in);
  rig.run_for(500);
  EXPECT_EQ(rig.ch(n).state, PlayState::steady);
  EXPECT_EQ(rig.ch(n).volume, 256);
  // A stop with a fade ends Idle, the name kept for a later PLAY.
  rig.queue(n, SoundRequestKind::stop, 200);
  rig.run_for(300);
  EXPECT_EQ(rig.ch(n).state, PlayState::idle);
  EXPECT_FALSE(rig.ch(n).file_name.empty());
  const test::Pcm out = rig.finish();
  EXPECT_EQ(step_at(out, first + 441), 0);
  EXPECT_EQ(step_at(out, first + 3 * 4410), 3);
}

TEST(SoundPositions, PlayAfterTheLastPassPlaysOnWithoutLoop) {
  SoundRig rig;
  const std::string tone = test::sox_make(rig.dir, "l.wav", "-r 44100 -c 1 -b 16", "synth 0.3 sine 1000 vol 0.5");
  SoundNode* n = rig.node("l");
  ASSERT_TRUE(rig.load(n, tone));
  rig.loop(n, 3);
  rig.play(n);
  rig.run_for(1500);
  ASSERT_EQ(rig.ch(n).state, PlayState::idle);
  const size_t first = SoundRig::frame_at(rig.play(n));
  rig.run_for(3000);
  EXPECT_NE(rig.ch(n).state, PlayState::idle);
  EXPECT_GE(rig.ch(n).loop_count, 8);
  const test::Pcm out = rig.finish();
  EXPECT_NEAR(test::rms_db(test::channel_of(out, 0, first + 44100, 88200)), -9.03, 0.1);
}

}  // namespace
}  // namespace nv::media
