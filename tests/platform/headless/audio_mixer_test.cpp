#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/audio.h"
#include "platform/headless/audio_headless.h"
#include "tests/media/sound_files.h"

namespace nv::platform {
namespace {

using test::TempDir;

// A headless output writing to a file in `dir`; the file is complete once
// the output is gone.
struct Out {
  explicit Out(const TempDir& dir, uint32_t rate = 44100) : path((dir.path() / "mix.wav").string()) {
    std::string error;
    audio = make_headless_audio(rate, path, error);
    EXPECT_TRUE(audio) << error;
  }
  test::Pcm finish() {
    audio.reset();
    return test::read_pcm16(path);
  }
  std::string path;
  std::unique_ptr<AudioOut> audio;
};

std::vector<uint8_t> s16_bytes(const std::vector<int16_t>& s) {
  std::vector<uint8_t> b;
  for (int16_t v : s) b.push_back(uint8_t(v)), b.push_back(uint8_t(uint16_t(v) >> 8));
  return b;
}

std::vector<int16_t> sine(size_t frames, int channels, double hz, double rate, double amp) {
  std::vector<int16_t> s;
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) s.push_back(int16_t(std::lrint(amp * std::sin(2 * M_PI * hz * double(i) / rate))));
  return s;
}

TEST(AudioMixer, AVoiceAtTheOutputRateComesOutBitExact) {
  TempDir dir;
  Out out(dir);
  std::mt19937 rng(7);
  std::vector<int16_t> src(44100 * 2);
  for (int16_t& v : src) v = int16_t(rng());
  auto v = out.audio->create_voice({2, 44100, 16}, uint32_t(src.size() * 2));
  ASSERT_TRUE(v);
  const std::vector<uint8_t> bytes = s16_bytes(src);
  v->write(0, bytes.data(), uint32_t(bytes.size()));
  v->play();
  out.audio->advance_to_us(1000000);
  v.reset();
  const test::Pcm pcm = out.finish();
  ASSERT_EQ(pcm.frames(), 44100u);
  EXPECT_EQ(pcm.samples, src);
}

TEST(AudioMixer, CursorsMoveAtTheVoiceFrequencyAndStopKeepsThem) {
  TempDir dir;
  Out out(dir);
  // One second of 8-bit mono at 22050: a ring of 22050 frames.
  auto v = out.audio->create_voice({1, 22050, 8}, 22050);
  ASSERT_TRUE(v);
  uint32_t play = 1, write = 1;
  v->position(play, write);
  EXPECT_EQ(play, 0u);
  v->play();
  out.audio->advance_to_us(250000);
  EXPECT_EQ(v->consumed_frames(), 5512u);  // 11025 output frames, half a source frame each
  v->position(play, write);
  EXPECT_EQ(play, 5512u);
  EXPECT_GE(write, play);
  EXPECT_LE(write, play + 2);
  v->stop();
  out.audio->advance_to_us(500000);
  EXPECT_EQ(v->consumed_frames(), 5512u);
  v->set_frequency(44100);
  v->play();
  out.audio->advance_to_us(1500000);
  // The ring wraps; the count does not.
  EXPECT_EQ(v->consumed_frames(), 5512u + 44100u);
  v->position(play, write);
  EXPECT_EQ(play, (5512u + 44100u) % 22050u);
  // Frequencies are held to 100 .. 200000 Hz.
  v->set_frequency(5);
  EXPECT_EQ(v->frequency(), kMinVoiceFrequency);
  v->set_frequency(10000000);
  EXPECT_EQ(v->frequency(), kMaxVoiceFrequency);
  v.reset();
  // 8-bit voices start as 0x80: silence.
  const test::Pcm pcm = out.finish();
  for (int16_t s : pcm.samples) ASSERT_EQ(s, 0);
}

TEST(AudioMixer, WritesWrapAroundTheRing) {
  TempDir dir;
  Out out(dir);
  auto v = out.audio->create_voice({1, 44100, 16}, 8);  // four frames
  ASSERT_TRUE(v);
  const std::vector<uint8_t> b = s16_bytes({1, 2, 3});
  v->write(6, b.data(), 6);  // frame 3, then frames 0 and 1
  v->play();
  out.audio->advance_to_us(1000000 * 8 / 44100 + 1);  // 8 output frames
  v.reset();
  const test::Pcm pcm = out.finish();
  const std::vector<int16_t> left = test::channel_of(pcm, 0, 0, 8);
  EXPECT_EQ(left, (std::vector<int16_t>{2, 3, 0, 1, 2, 3, 0, 1}));
}

TEST(AudioMixer, VolumeAndPanAreDecibelsPerSide) {
  TempDir dir;
  Out out(dir);
  const std::vector<int16_t> src = sine(44100, 1, 1000, 44100, 16000);
  const std::vector<uint8_t> b = s16_bytes(src);
  auto make = [&](int32_t vol, int32_t pan) {
    auto v = out.audio->create_voice({1, 44100, 16}, uint32_t(b.size()));
    v->write(0, b.data(), uint32_t(b.size()));
    v->set_volume(vol);
    v->set_pan(pan);
    return v;
  };
  auto a = make(-1204, 0);
  a->play();
  out.audio->advance_to_us(1000000);
  a->stop();
  auto l = make(0, -10000);  // full left
  l->play();
  out.audio->advance_to_us(2000000);
  l->stop();
  auto r = make(-10000, 10000);  // silent whatever the pan
  r->play();
  out.audio->advance_to_us(3000000);
  a.reset(), l.reset(), r.reset();
  const test::Pcm pcm = out.finish();
  const double source = test::rms_db(src);
  EXPECT_NEAR(test::rms_db(test::channel_of(pcm, 0, 0, 44100)) - source, -12.04, 0.01);
  EXPECT_NEAR(test::rms_db(test::channel_of(pcm, 1, 0, 44100)) - source, -12.04, 0.01);
  EXPECT_EQ(test::channel_of(pcm, 0, 44100, 44100), src);
  for (int16_t s : test::channel_of(pcm, 1, 44100, 44100)) ASSERT_EQ(s, 0);
  for (int16_t s : test::channel_of(pcm, 0, 88200)) ASSERT_EQ(s, 0);
}

TEST(AudioMixer, EightBitSamplesAreCentredOn0x80) {
  TempDir dir;
  Out out(dir);
  auto v = out.audio->create_voice({2, 44100, 8}, 8);
  const uint8_t b[8] = {0x80, 0xFF, 0x00, 0x81, 0x80, 0x80, 0x7F, 0x80};
  v->write(0, b, 8);
  v->play();
  out.audio->advance_to_us(1000000 * 4 / 44100 + 1);
  v.reset();
  const test::Pcm pcm = out.finish();
  ASSERT_GE(pcm.samples.size(), 8u);
  EXPECT_EQ(std::vector<int16_t>(pcm.samples.begin(), pcm.samples.begin() + 8),
            (std::vector<int16_t>{0, 32512, -32768, 256, 0, 0, -256, 0}));
}

TEST(AudioMixer, FrequencyResamplesAndSumsClip) {
  TempDir dir;
  Out out(dir);
  const std::vector<int16_t> src = sine(44100, 2, 1000, 44100, 20000);
  const std::vector<uint8_t> b = s16_bytes(src);
  auto v = out.audio->create_voice({2, 44100, 16}, uint32_t(b.size()));
  v->write(0, b.data(), uint32_t(b.size()));
  v->set_frequency(66150);
  v->play();
  out.audio->advance_to_us(1000000);
  v->set_frequency(22050);
  out.audio->advance_to_us(2000000);
  v->set_frequency(44100);
  // A second voice of the same tone: the sum exceeds full scale and clips.
  auto w = out.audio->create_voice({2, 44100, 16}, uint32_t(b.size()));
  w->write(0, b.data(), uint32_t(b.size()));
  w->play();
  out.audio->advance_to_us(3000000);
  v.reset(), w.reset();
  const test::Pcm pcm = out.finish();
  EXPECT_NEAR(test::crossing_frequency(test::channel_of(pcm, 0, 0, 44100), 44100), 1500.0, 1.0);
  EXPECT_NEAR(test::crossing_frequency(test::channel_of(pcm, 0, 44100, 44100), 44100), 500.0, 1.0);
  const std::vector<int16_t> loud = test::channel_of(pcm, 1, 88200, 44100);
  EXPECT_EQ(*std::max_element(loud.begin(), loud.end()), 32767);
  EXPECT_EQ(*std::min_element(loud.begin(), loud.end()), -32768);
}

TEST(AudioMixer, RefusesFormatsItCannotMixAndBadRates) {
  TempDir dir;
  Out out(dir);
  EXPECT_FALSE(out.audio->create_voice({6, 44100, 16}, 4800));
  EXPECT_FALSE(out.audio->create_voice({2, 44100, 24}, 4800));
  EXPECT_FALSE(out.audio->create_voice({2, 50, 16}, 4800));
  EXPECT_FALSE(out.audio->create_voice({2, 44100, 16}, 3));  // less than a frame
  std::string error;
  EXPECT_FALSE(make_headless_audio(1000, "", error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(make_headless_audio(44100, (dir.path() / "no" / "such" / "x.wav").string(), error));
}

TEST(AudioMixer, TheOutputFileIsACompleteWav) {
  TempDir dir;
  Out out(dir, 22050);
  out.audio->advance_to_us(500000);
  out.audio->advance_to_us(400000);  // time never runs back
  const std::string path = out.path;
  const test::Pcm pcm = out.finish();
  EXPECT_EQ(pcm.rate, 22050);
  EXPECT_EQ(pcm.channels, 2);
  EXPECT_EQ(pcm.frames(), 11025u);
  const std::string info = test::output_of("soxi -s " + test::sh(path));
  EXPECT_EQ(std::stol(info), 11025);
}

}  // namespace
}  // namespace nv::platform
