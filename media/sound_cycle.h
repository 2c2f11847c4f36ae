// One cycle of the sound thread, and the thread itself. A cycle pulls the
// output up to now (headless), then under the engine lock applies the global
// pause, carries out the queued requests, steps the fades, tracks the play
// positions and picks the voices that need their next half; the halves are
// decoded outside the lock. An internal error shows the "DEBUG Message" box
// and sets the engine quit flag.
#pragma once

#include <cstdint>

namespace nv::media {

struct SoundState;

// Milliseconds the thread rests before its next cycle: 3 while requests are
// queued, else 20.
uint32_t sound_rest_ms(SoundState& s);
uint32_t sound_rest_ms_idle();

// Runs one cycle. Returns false when the thread is to end (the quit flag was
// seen, or an internal error set it).
bool run_sound_cycle(SoundState& s);

// What the thread does when it leaves its loop: every node gives up its
// voice and file data, and the ended flag becomes 1.
void finish_sound_thread(SoundState& s);

// The box text of an internal error.
const char* sound_error_text_utf8(int code);

}  // namespace nv::media
