#include <gtest/gtest.h>

#include "media/sound_math.h"

namespace nv::media {
namespace {

TEST(SoundMath, AttenuationFollowsFortyTimesTheLogOfTheVolume) {
  EXPECT_EQ(attenuation_of_volume(256), 0);
  EXPECT_EQ(attenuation_of_volume(128), -1204);
  EXPECT_EQ(attenuation_of_volume(64), -2408);
  EXPECT_EQ(attenuation_of_volume(2), -8428);
  EXPECT_EQ(attenuation_of_volume(1), -9632);
  EXPECT_EQ(attenuation_of_volume(0), -10000);
  EXPECT_EQ(attenuation_of_volume(-5), -10000);
  EXPECT_EQ(attenuation_of_volume(300), 0);  // above full is clamped
}

TEST(SoundMath, PanAttenuatesTheOtherSideAndIsCentredOutsideItsRange) {
  EXPECT_EQ(pan_of(0), -10000);
  EXPECT_EQ(pan_of(128), -1204);
  EXPECT_EQ(pan_of(256), 0);
  EXPECT_EQ(pan_of(384), 1204);
  EXPECT_EQ(pan_of(512), 10000);
  EXPECT_EQ(pan_of(513), 0);
  EXPECT_EQ(pan_of(-1), 0);
}

TEST(SoundMath, PitchScalesTheRateFromHalfToOneAndAHalf) {
  EXPECT_EQ(frequency_of_pitch(0, 44100), 22050u);
  EXPECT_EQ(frequency_of_pitch(1, 44100), 22137u);  // truncated toward zero
  EXPECT_EQ(frequency_of_pitch(256, 44100), 44100u);
  EXPECT_EQ(frequency_of_pitch(512, 44100), 66150u);
  EXPECT_EQ(frequency_of_pitch(600, 44100), 44100u);
  EXPECT_EQ(frequency_of_pitch(384, 22050), 22050u + 128u * 11025u / 256u);
}

TEST(SoundMath, NestedVolumesMultiplyInSteps) {
  EXPECT_EQ(nested_volume(256, 256), 256);
  EXPECT_EQ(nested_volume(128, 128), 64);
  EXPECT_EQ(nested_volume(nested_volume(255, 255), 255), 253);  // each step shifts
  EXPECT_EQ(near_silent_volume(256), 2);
  EXPECT_EQ(near_silent_volume(100), 0);
}

TEST(SoundMath, FadeSlopeAndStepsTruncateTowardZero) {
  EXPECT_EQ(fade_slope(256, 0, 1000), 262);
  EXPECT_EQ(fade_slope(0, 256, 1000), -262);
  EXPECT_EQ(fade_slope(0, 100, 3000), -34);    // -102400 / 3000 toward zero
  EXPECT_EQ(fade_slope(200, 100, 0), 102400);  // no fade time: done next step

  FadeStep s = fade_step(0, 262, 500, 256);
  EXPECT_EQ(s.volume, 127);
  EXPECT_FALSE(s.reached);
  s = fade_step(0, 262, 1000, 256);
  EXPECT_EQ(s.volume, 255);
  s = fade_step(0, 262, 1001, 256);
  EXPECT_EQ(s.volume, 256);
  EXPECT_TRUE(s.reached);
  s = fade_step(256, -34, 10, 0);  // -340 / 1024 is 0 toward zero
  EXPECT_EQ(s.volume, 256);
  s = fade_step(256, -262, 2000, 0);
  EXPECT_EQ(s.volume, 0);
  EXPECT_TRUE(s.reached);
  // A fade already at its target ends at once, whichever way it points.
  EXPECT_TRUE(fade_step(256, 0, 0, 256).reached);
  // Long fades do not overflow: an hour at the steepest slope.
  s = fade_step(0, 262144, 3600000, 256);
  EXPECT_TRUE(s.reached);
}

TEST(SoundMath, SeekClampsTheEndAndTurnsNegativePositionsIntoSilence) {
  const int64_t bps = 176400, ba = 4, data = 176400 * 3;
  SeekPoint p = seek_point(1500, 3000, bps, ba, data);
  EXPECT_EQ(p.silence_bytes, 0);
  EXPECT_EQ(p.decoded_bytes, 264600);
  EXPECT_EQ(p.wav_offset, 264600);

  p = seek_point(3000, 3000, bps, ba, data);  // at the end: 10 ms before it
  EXPECT_EQ(p.t_ms, 2990);
  EXPECT_EQ(p.wav_offset, 2990 * 1764 / 10);

  p = seek_point(-250, 3000, bps, ba, data);
  EXPECT_EQ(p.silence_bytes, 44100);
  EXPECT_EQ(p.decoded_bytes, -44100);
  EXPECT_EQ(p.source_ms, 0);
  EXPECT_EQ(p.wav_offset, 0);

  // 8-bit mono at 11025: byte positions need no rounding; 16-bit stereo at
  // 22050 rounds to whole frames.
  p = seek_point(-3, 1000, 22050 * 4, 4, 88200);
  EXPECT_EQ(p.silence_bytes, 264);  // 264.6 rounded down to a frame
  p = seek_point(7, 1000, 22050 * 4, 4, 88200);
  EXPECT_EQ(p.wav_offset % 4, 0);
  EXPECT_EQ(p.decoded_bytes, 617);

  // A file shorter than 10 ms sought at its end starts with silence.
  p = seek_point(5, 5, bps, ba, 880);
  EXPECT_EQ(p.t_ms, -5);
  EXPECT_EQ(p.silence_bytes, 880);
}

TEST(SoundMath, FillRequestsBlocksThenWhatIsLeftInWholeFrames) {
  EXPECT_EQ(fill_request(0, 0, 100000, 4), 4096);
  EXPECT_EQ(fill_request(90000, 5000, 100000, 4), 4096);  // 99096 < 100000
  EXPECT_EQ(fill_request(90000, 6000, 100000, 4), 4000);
  EXPECT_EQ(fill_request(0, 99999, 100002, 4), 0);
  EXPECT_EQ(fill_request(0, 0, 0, 4), 0);
  EXPECT_EQ(fill_request(0, 0, -4000, 4), 0);  // an end before the start is the end of data
  EXPECT_EQ(fill_request(-8000, 0, 100, 4), 4096);
}

TEST(SoundMath, MillisecondsOfBytesGuardsAMissingFormat) {
  EXPECT_EQ(ms_of_bytes(176400, 176400), 1000);
  EXPECT_EQ(ms_of_bytes(-1764, 176400), -10);
  EXPECT_EQ(ms_of_bytes(12345, 0), 0);
}

}  // namespace
}  // namespace nv::media
