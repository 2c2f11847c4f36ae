// The SDL2 sound output through SDL's "disk" driver, which writes what the
// device would play to a file: a tone's level and frequency there match the
// headless mix of the same voice.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "platform/headless/audio_headless.h"
#include "platform/sdl/audio_sdl.h"
#include "tests/media/sound_files.h"

namespace nv::platform {
namespace {

std::vector<uint8_t> tone_bytes() {
  std::vector<uint8_t> b;
  for (int i = 0; i < 44100; ++i) {
    const auto v = int16_t(std::lrint(12000 * std::sin(2 * M_PI * 1000 * i / 44100.0)));
    for (int c = 0; c < 2; ++c) b.push_back(uint8_t(v)), b.push_back(uint8_t(uint16_t(v) >> 8));
  }
  return b;
}

void start_tone(AudioOut& out, std::unique_ptr<Voice>& v, const std::vector<uint8_t>& b) {
  v = out.create_voice({2, 44100, 16}, uint32_t(b.size()));
  ASSERT_TRUE(v);
  v->write(0, b.data(), uint32_t(b.size()));
  v->set_volume(-1204);
  v->set_pan(-602);  // the right side 6.02 dB lower still
  v->set_frequency(66150);
  v->play();
}

TEST(AudioSdl, TheDiskDriverPlaysWhatTheHeadlessMixMakes) {
  test::TempDir dir;
  const std::string disk = (dir.path() / "disk.raw").string();
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", disk.c_str(), 1);
  const std::vector<uint8_t> b = tone_bytes();
  {
    std::string error;
    auto sdl = make_sdl_audio(44100, error);
    ASSERT_TRUE(sdl) << error;
    EXPECT_EQ(sdl->rate(), 44100u);
    std::unique_ptr<Voice> v;
    start_tone(*sdl, v, b);
    // The device takes the voice at its own pace: wait until it has moved.
    for (int i = 0; i < 200 && v->consumed_frames() < 44100; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_GE(v->consumed_frames(), 44100u);
    v.reset();
  }
  const std::string head = (dir.path() / "head.wav").string();
  {
    std::string error;
    auto h = make_headless_audio(44100, head, error);
    std::unique_ptr<Voice> v;
    start_tone(*h, v, b);
    h->advance_to_us(500000);
    v.reset();
  }
  // The disk file is the device's raw 16-bit stereo.
  const std::vector<uint8_t> raw = test::file_bytes(disk);
  test::Pcm played;
  played.channels = 2;
  played.rate = 44100;
  for (size_t i = 0; i + 1 < raw.size(); i += 2) played.samples.push_back(int16_t(raw[i] | raw[i + 1] << 8));
  size_t first = 0;
  while (first < played.frames() && played.at(first, 0) == 0 && played.at(first + 1, 0) == 0) ++first;
  ASSERT_GT(played.frames(), first + 11025);
  const test::Pcm mixed = test::read_pcm16(head);
  for (int c = 0; c < 2; ++c) {
    const std::vector<int16_t> p = test::channel_of(played, c, first + 2205, 8820);
    const std::vector<int16_t> m = test::channel_of(mixed, c, 2205, 8820);
    EXPECT_NEAR(test::rms_db(p), test::rms_db(m), 0.05) << c;
    EXPECT_NEAR(test::crossing_frequency(p, 44100), test::crossing_frequency(m, 44100), 2) << c;
    EXPECT_NEAR(test::crossing_frequency(p, 44100), 1500, 2) << c;
  }
  EXPECT_NEAR(test::rms_db(test::channel_of(mixed, 0, 2205, 8820)) - test::rms_db(test::channel_of(mixed, 1, 2205, 8820)),
              6.02, 0.05);
}

TEST(AudioSdl, NoDeviceMeansNoOutput) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  std::string error;
  EXPECT_FALSE(make_sdl_audio(44100, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace nv::platform
