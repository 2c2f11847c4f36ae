// The nivalo program in a real window with an SDL2 audio device: SDL's
// "disk" driver writes what the device plays to a file, which is measured
// here. The device opens only when the title enables sound.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/media/sound_files.h"
#include "tests/support/shell.h"
#include "tests/support/temp_dir.h"

namespace nv::media {
namespace {

using test::sh;

// Runs the title in `dir` for `frames` frames in a window, the audio device
// writing to `raw`. "" on success, else why not.
std::string run_with_disk_audio(const test::TempDir& dir, bool sound, const std::string& raw) {
  dir.write("title.cfg", std::string("width = 160\nheight = 120\nshown = 1\nsound = ") + (sound ? "1" : "0") + "\n");
  dir.write("main.nvs",
            "*SYSTEM_START\n"
            "SOUND[ID=\"t\" FILE=\"tone.wav\" VOLUME=128 PLAY=1]\n"
            "LOOP[SET=-1]\n  WAIT[FRAME=1]\nLOOPEND\n");
  if (std::system((std::string(VIZUD_PATH) + " --quiet " + dir.str() + " >/dev/null 2>&1").c_str()) != 0)
    return "VIZud failed";
  const std::string cmd = "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + sh(raw) + " " + NIVALO_PATH +
                          " --frames 90 " + dir.str() + " >/dev/null 2>" + sh((dir.path() / "err.txt").string());
  if (std::system(cmd.c_str()) != 0) return "nivalo failed: " + test::slurp(dir.path() / "err.txt");
  return "";
}

TEST(SoundDevice, TheDiskDriverPlaysTheTitlesToneAtItsLevelAndFrequency) {
  test::TempDir dir;
  const std::string tone = test::sox_make(dir, "tone.wav", "-r 44100 -c 2 -b 16", "synth 1 sine 1000 vol 0.5");
  ASSERT_FALSE(tone.empty());
  const std::string raw = (dir.path() / "device.raw").string();
  ASSERT_EQ(run_with_disk_audio(dir, true, raw), "");

  // The device was asked for 16-bit stereo at 44100 frames a second.
  const std::vector<uint8_t> bytes = test::file_bytes(raw);
  test::Pcm got;
  got.channels = 2;
  got.rate = 44100;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) got.samples.push_back(int16_t(bytes[i] | bytes[i + 1] << 8));
  size_t at = 0;
  while (at < got.frames() && got.at(at, 0) == 0) ++at;
  ASSERT_GT(got.frames(), at + 44100 / 2) << "the device played less than half a second of the tone";

  // VOLUME 128 is -12.04 dB; the tone keeps its 1 kHz.
  const double full = test::rms_db(test::channel_of(test::read_pcm16(tone), 0, 0, 22050));
  const std::vector<int16_t> middle = test::channel_of(got, 0, at + 4410, 17640);
  EXPECT_NEAR(test::rms_db(middle) - full, -12.04, 0.1);
  EXPECT_NEAR(test::crossing_frequency(middle, 44100), 1000.0, 2.0);
}

TEST(SoundDevice, NoDeviceIsOpenedWhenTheTitleDoesNotEnableSound) {
  test::TempDir dir;
  ASSERT_FALSE(test::sox_make(dir, "tone.wav", "-r 44100 -c 2 -b 16", "synth 1 sine 1000 vol 0.5").empty());
  const std::string raw = (dir.path() / "device.raw").string();
  ASSERT_EQ(run_with_disk_audio(dir, false, raw), "");
  EXPECT_FALSE(std::filesystem::exists(raw));
}

}  // namespace
}  // namespace nv::media
