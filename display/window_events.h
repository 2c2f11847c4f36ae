// What the desktop does to the engine's windows, turned into engine state:
// the close box by CLOSEMODE, the minimise and maximise requests for the
// scripts, activation, mouse and keys for the input sampling, dropped files.
#pragma once

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::display {

// Delivers the desktop's pending events to the engine (the main loop calls
// it before every frame step).
void pump_window_events(Engine& e);

// The close box (or Alt+F4) of window `slot`, by its CLOSEMODE: 0 sets the
// close request for the script, 1 asks the user, 2 quits, 3 closes that
// window only.
void handle_close_box(Engine& e, int slot);

// The minimise box: with MINMODE 0 the window stays as it is and the
// minimise request is set for the script.
void handle_minimize_box(Engine& e, int slot);

// The maximise box: the request is the window number + 1.
void handle_maximize_box(Engine& e, int slot);

// The question CLOSEMODE 1 asks.
inline constexpr const char* kCloseQuestionUtf8 = "終了します。よろしいですか？";

}  // namespace nv::display
