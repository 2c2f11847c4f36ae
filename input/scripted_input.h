// Scripted input: a text file of window events by frame number, for tests
// and for reproducible runs (`nivalo --input FILE`).
//
//   FRAME key down|up NAME-or-VK     FRAME press NAME-or-VK   (down this frame, up the next)
//   FRAME mouse X Y                  FRAME button down|up left|right|middle
//   FRAME click X Y                  (move, then press and release the left button)
//   FRAME wheel N                    FRAME type TEXT          (the answer of the next input dialog)
//   FRAME answer yes|no|ok|cancel    FRAME menu CODE          (the next pop-up's choice; 0 dismisses)
//   FRAME close                      (the main window's close box)
//
// One event per line; a line whose first non-blank is '#' is a comment, and
// so is a '#' after an event's words (not in a `type` text, which is the
// rest of the line). Frames count frame steps from 1; the events of frame n
// arrive before the input of frame step n is sampled, in file order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nv::input {

enum class ScriptedKind { key, mouse, button, wheel, type, answer, menu, close };
enum class ScriptedAnswer { yes, no, ok, cancel };

struct ScriptedEvent {
  int64_t frame = 1;
  ScriptedKind kind = ScriptedKind::key;
  int vk = 0;            // key: the virtual key; button: 1 left, 2 right, 4 middle
  bool down = false;     // key, button
  int x = 0, y = 0;      // mouse: client point of the main window
  int wheel = 0;         // notches, up positive
  std::string text;      // type: UTF-8
  ScriptedAnswer answer = ScriptedAnswer::ok;
  int64_t code = 0;      // menu
  int line = 0;          // where it was written
};

struct ScriptedInput {
  std::vector<ScriptedEvent> events;  // ordered by frame, file order within a frame
  size_t next = 0;                    // the first event not yet delivered
};

// The virtual-key code of a key name (upper case, as scripts name keys), or
// -1 for a name that is not a key.
using KeyNameLookup = std::function<int(std::string_view name)>;

// Parses a whole file. On a malformed line returns false with
// "NAME:LINE: what is wrong" in `error`, where NAME is `source_name`.
bool parse_scripted_input(std::string_view text, std::string_view source_name, const KeyNameLookup& key_of,
                          ScriptedInput& out, std::string& error);

// The events due by frame step `frame` that were not delivered yet; marks
// them delivered.
std::vector<ScriptedEvent> take_due_events(ScriptedInput& in, int64_t frame);

}  // namespace nv::input
