// Creating, showing and tearing down the engine's windows.
#pragma once

#include <string>
#include <string_view>

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::display {

// The main window's class name: the executable's full path with every "\"
// (and "/") turned into ":"; double-byte characters are kept intact.
std::string main_window_class(std::string_view exe_path);
// "%s_sub_%d" of the main class name and the slot.
std::string sub_window_class(std::string_view main_class, int slot);

// Creates the desktop window for record `slot` from its fields (caption,
// size, position rules of the main window and the sub-windows). Returns
// false when the desktop refuses.
bool create_window_for(Engine& e, int slot);

// Start-up: fills record 0 from the configuration and creates the main
// window (not yet shown). Returns false when no window could be made.
bool create_main_window(Engine& e, std::string_view exe_path);

// Start-up, after the tables are loaded: shows the main window when its E
// is 1 and switches straight to full screen when it is exactly the size of
// the desktop.
void show_main_window_at_start(Engine& e);

// Shows the window when both A and E are at least 1, else hides it.
void apply_window_visibility(Engine& e, int slot);

// Shows or hides the desktop window and records it.
void set_window_shown(Engine& e, int slot, bool shown);

// The window's shown set is drawn whole at the next presented frame.
void mark_window_redraw(Engine& e, int slot);

// Tells the layer code the client size of window `slot` (0 x 0 when it
// does not exist).
void note_client_size(Engine& e, int slot);

// Full screen of the main window. Returns 1 when the mode changed, 0 when it
// already was so; a refusal reports 105210 and leaves window mode (-1).
int switch_fullscreen(Engine& e, bool on);

// Closing the engine from the inside: the quit flag, CLOSEMODE 2 on the main
// window and the main window's closing.
void close_engine(Engine& e);

// A window is closed (by the user or the engine): it stops existing; the
// main window's closing ends the engine unless its CLOSEMODE is 3.
void close_window(Engine& e, int slot);

// Shut-down: leaves full screen, shows the cursor, destroys the windows.
void shut_down_windows(Engine& e);

}  // namespace nv::display
