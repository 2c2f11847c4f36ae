// Input in the frame: the raw input the main loop notes from the window
// events and the pointer, the per-frame step at the start of the frame
// step, scripted input and the tray icon's events.
#pragma once

#include <cstdint>

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::input {

// The main loop's pass (window thread): where the pointer is over each
// window, the "outside" mark, and which window is active.
void take_input_snapshot(Engine& e);

// The start of a frame step: the scripted events due by this step (counted
// from 1), the key and mouse machines, cursor auto-hide and the cursor
// request, minimised windows losing their active flag.
void input_frame_step(Engine& e);

// Delivers the tray icon's events (window thread).
void pump_tray_events(Engine& e);

// The joystick count found at start-up (at most 16) and the pad flag.
void note_joysticks(Engine& e, int count);

}  // namespace nv::input
