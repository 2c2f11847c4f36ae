// SOUND, SOUNDEND and SOUNDINFO run as titles on the headless platform: the
// sound switch, a flood of requests that fills the ring, a chained Ogg that
// ends the engine, and SOUNDINFO's values across two runs.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "host/engine.h"
#include "host/main_loop.h"
#include "media/sound_state.h"
#include "media/sound_tree.h"
#include "tests/media/sound_files.h"
#include "tests/support/shell.h"
#include "tests/support/title_run.h"

namespace nv::media {
namespace {

using test::TitleOptions;
using test::TitleRun;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TitleOptions with_sound(bool on, std::string sound_out = {}) {
  TitleOptions o;
  o.config = std::string("width = 320\nheight = 240\nsound = ") + (on ? "1" : "0") + "\n";
  o.sound_out = std::move(sound_out);
  return o;
}

// One tone for every run of the process (sox dithers each file it makes
// differently).
void put_tone(TitleRun& r) {
  static test::TempDir dir;
  static const std::string tone = test::sox_make(dir, "tone.wav", "-r 44100 -c 2 -b 16", "synth 1 sine 440");
  ASSERT_FALSE(tone.empty());
  std::filesystem::copy_file(tone, r.dir() / "tone.wav");
}

TEST(SoundCommands, TheSoundSwitchReadsWhetherSoundIsOnAndOffMeansNothingHappens) {
  const std::string script =
      "INT s = 7, x = 7, n = 7\n"
      "s = SYS_SOUND\n"
      "SOUND[ID=\"a\" FILE=\"tone.wav\" PLAY=1]\n"
      "SOUNDINFO[ID=\"a\" LET=x EXIST=1]\n"
      "SOUNDINFO[ID=\"a\" LET=n PLAY=1]\n";
  for (bool on : {false, true}) {
    TitleRun r(script, with_sound(on));
    ASSERT_TRUE(r.ok()) << r.messages();
    put_tone(r);
    r.run(5);
    EXPECT_EQ(r.first_error(), "");
    EXPECT_EQ(r.int_var("s"), on ? 1 : 0);
    EXPECT_EQ(r.int_var("x"), on ? 1 : 0);
    EXPECT_EQ(r.int_var("n"), on ? 1 : 0);
    EXPECT_EQ(r.engine().sound.tree.s0->first_child() != nullptr, on);
  }
}

// Within one frame the sound thread takes nothing from the ring (it follows
// the clock), so the 1024th request of the frame finds it full.
TEST(SoundCommands, AFullRingRefusesWithoutStoppingAndKeepsWhatWasQueued) {
  std::string script = "INT v = 0, after = 0\nSOUND[ID=\"a\" FILE=\"tone.wav\" PLAY=1]\n";
  for (int i = 1; i <= 1030; ++i) script += "SOUND[ID=\"a\" VOLUME=" + std::to_string(i % 200 + 1) + "]\n";
  script += "SOUND[ID=\"a\" PLAY=1]\n"  // refused: not waited for
            "after = 1\n"
            "WAIT[TIME=200]\n"
            "SOUNDINFO[ID=\"a\" LET=v VOLUME=1]\n";
  TitleRun r(script, with_sound(true));
  ASSERT_TRUE(r.ok()) << r.messages();
  put_tone(r);
  r.run(60);
  // The script went on past the refusals and read the volume later.
  EXPECT_EQ(r.int_var("after"), 1);
  // 1023 queued: the last one that went in set the volume.
  EXPECT_EQ(r.int_var("v"), 1023 % 200 + 1);
  EXPECT_TRUE(has(r.first_error(), "サウンドリクエストバッファが満杯になりました。")) << r.first_error();
  EXPECT_EQ(r.engine().errors.report_count, 8u) << "requests 1024 to 1030 and the PLAY are refused";
}

TEST(SoundCommands, AChainedOggShowsItsBoxAndEndsTheEngine) {
  const std::string script =
      "INT after = 0\n"
      "SOUND[ID=\"c\" FILE=\"chained.ogg\" PLAY=1]\n"
      "after = 1\n"
      "WAIT[TIME=1000]\n"
      "after = 2\n";
  TitleRun r(script, with_sound(true));
  ASSERT_TRUE(r.ok()) << r.messages();
  test::TempDir tmp;
  const std::vector<uint8_t> chained = test::chained_ogg(tmp);
  std::ofstream(r.dir() / "chained.ogg", std::ios::binary)
      .write(reinterpret_cast<const char*>(chained.data()), std::streamsize(chained.size()));
  r.run(200);
  EXPECT_TRUE(r.stopped());
  EXPECT_TRUE(has(r.dialogs(), "[DEBUG Message] 複数曲連結OGGには対応していません。")) << r.dialogs();
  EXPECT_NE(r.int_var("after"), 2);
  EXPECT_EQ(r.engine().sound.ended.load(), kSoundThreadEnded);
}

TEST(SoundCommands, SoundinfoGivesTheSameValuesInTwoRuns) {
  const std::string script =
      "INT t1, t2, v, c, p\n"
      "SOUND[ID=\"a\" FILE=\"tone.wav\" PLAY=1 LOOP=3 END=300 FADE=500]\n"
      "WAIT[TIME=450]\n"
      "SOUNDINFO[ID=\"a\" LET=t1 TIME=1]\n"
      "SOUNDINFO[ID=\"a\" LET=v VOLUME=1]\n"
      "SOUNDINFO[ID=\"a\" LET=c LOOPCOUNT=1]\n"
      "SOUND[ID=\"a\" PAUSE=1]\n"
      "WAIT[TIME=100]\n"
      "SOUND[ID=\"a\" PAUSE=0]\n"
      "SOUNDINFO[ID=\"a\" LET=t2 START=1]\n"
      "WAIT[TIME=1000]\n"
      "SOUNDINFO[ID=\"a\" LET=p PLAY=1]\n";
  std::vector<int64_t> seen[2];
  std::string mix[2];
  for (int run = 0; run < 2; ++run) {
    test::TempDir out;
    {
      TitleRun r(script, with_sound(true, (out.path() / "mix.wav").string()));
      ASSERT_TRUE(r.ok()) << r.messages();
      put_tone(r);
      r.run(120);
      EXPECT_EQ(r.first_error(), "");
      for (const char* name : {"t1", "v", "c", "t2", "p"}) seen[run].push_back(r.int_var(name));
    }  // the output file is complete once the engine is gone
    mix[run] = test::slurp(out.path() / "mix.wav");
  }
  EXPECT_EQ(seen[0], seen[1]);
  // Sanity of what was read: one pass of 300 ms done by 450 ms, the fade
  // under way, the pause position reported as START, all passes over.
  EXPECT_GT(seen[0][0], 0);
  EXPECT_LT(seen[0][0], 300);
  EXPECT_GT(seen[0][1], 0);
  EXPECT_LT(seen[0][1], 256);
  EXPECT_EQ(seen[0][2], 1);
  EXPECT_GE(seen[0][3], seen[0][0]);
  EXPECT_LT(seen[0][3], seen[0][0] + 30);
  EXPECT_EQ(seen[0][4], 0);
  EXPECT_GT(mix[0].size(), 44u);
  EXPECT_EQ(mix[0].size(), mix[1].size());
  size_t d = 0;
  while (d < mix[0].size() && d < mix[1].size() && mix[0][d] == mix[1][d]) ++d;
  EXPECT_TRUE(mix[0] == mix[1]) << "first difference at byte " << d;
}

// A title on its script thread that keeps making, playing, pausing, reading
// and removing sounds while the engine is shut down from outside: the sound
// thread runs its last cycle and frees every voice, waits in the script
// thread end, and no voice is left (held sounds keep their state, as a
// pause does).
TEST(SoundCommands, ShutDownWhileTheScriptThreadHammersTheSounds) {
  const std::string script =
      "INT i = 0, v\n"
      "LOOP[SET=-1]\n"
      "  SOUND[ID=\"s/\"]\n"
      "  SOUND[ID=\"s/a\" FILE=\"tone.wav\" PLAY=1 VOLUME=200]\n"
      "  SOUND[ID=\"b\" FILE=\"tone.wav\" PLAY=1 FADE=100]\n"
      "  SOUNDINFO[ID=\"s/a\" LET=v TIME=1]\n"
      "  SOUND[ID=\"s/\" PAUSE=1]\n"
      "  SOUND[ID=\"b\" PLAY=0 FADE=30]\n"
      "  WAIT[FRAME=1]\n"
      "  SOUND[ID=\"s/\" PAUSE=0]\n"
      "  SOUNDINFO[ID=\"b\" LET=v VOLUME=1]\n"
      "  SOUNDEND[ID=\"s/\"]\n"
      "  i = i + 1\n"
      "LOOPEND\n";
  TitleOptions o = with_sound(true);
  o.config += "script_thread = 1\n";
  TitleRun r(script, o);
  ASSERT_TRUE(r.ok()) << r.messages();
  put_tone(r);
  EXPECT_EQ(r.run(40), 40);
  EXPECT_EQ(r.first_error(), "");
  shut_down(r.engine());
  EXPECT_GT(r.int_var("i"), 5);
  const SoundState& s = r.engine().sound;
  EXPECT_EQ(s.ended.load(), kSoundThreadEnded);
  EXPECT_FALSE(r.engine().script_thread.thread.joinable());
  for_each_sound_node(const_cast<SoundNode&>(s.tree.root), [](SoundNode& n) {
    EXPECT_EQ(n.ch.voice, nullptr);
    EXPECT_TRUE(n.ch.state == PlayState::idle || n.ch.paused) << n.name;
  });
}

}  // namespace
}  // namespace nv::media
