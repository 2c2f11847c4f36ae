// The engine's input record: key and mouse state, the raw input shared with
// the window thread, the menu tree and the menus built from it, the tray
// icon, and the scripted input of a reproducible run.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "input/key_state.h"
#include "input/menu_tree.h"
#include "input/scripted_input.h"
#include "input/ui_thread.h"
#include "platform/menus.h"
#include "platform/tray.h"

namespace nv::input {

enum MenuKind : int { kMenuBar = 0, kContextMenu = 1, kTrayMenu = 2, kMenuKinds = 3 };

// A context or tray menu asked for, shown by the frame loop.
struct PendingMenu {
  int kind = -1;  // kContextMenu or kTrayMenu; -1 none
  int x = 0, y = 0;  // desktop point
};

struct TrayState {
  bool shown = false;
  std::string tip;        // Shift-JIS, cut to 63 bytes
  std::string menu_path;  // normalised set path of the tray menu ("" none)
};

// Answers a scripted input file gives to the next dialogs and pop-ups.
struct ScriptedAnswers {
  std::deque<std::string> typed;        // UTF-8, for input dialogs
  std::deque<ScriptedAnswer> boxes;     // for message boxes
  std::deque<int64_t> menus;            // for pop-up menus (0 dismisses)
};

struct InputState {
  KeyState keys;
  MenuTree menus;
  std::array<platform::MenuList, kMenuKinds> built;  // the menus of each kind as last built
  PendingMenu pending;
  TrayState tray;
  ScriptedInput script;
  ScriptedAnswers answers;
  int joysticks = 0;   // found at start-up, at most 16
  bool pad = false;    // a joystick was found
  int cursor_shape = 0;  // MOUSE CURSOR
  int64_t frame_steps = 0;  // frame steps begun
  UiThread ui;           // work handed to the thread that owns the windows
};

}  // namespace nv::input
