// The one-line input dialog: a caption, a prompt, an edit field that starts
// with a default text, and an OK button (the only way out). The engine
// draws it; this file holds the field's editing rules and the picture.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/display.h"
#include "platform/ui_font.h"

namespace nv::platform {

// The most the field holds: a 4096-byte buffer with its terminator.
constexpr size_t kInputBoxMaxBytes = 4095;

struct InputBoxSpec {
  std::string caption;       // Shift-JIS
  std::string prompt;        // Shift-JIS; may hold line breaks
  std::string default_text;  // Shift-JIS
  int limit = 0;             // most characters (a double-byte one counts once); 0 no limit
};

// The edit field: Shift-JIS text with a caret between characters, and the
// input method's text still being composed at the caret.
class InputField {
 public:
  InputField(std::string_view initial_sjis, int limit);

  // Inserts typed text (UTF-8) at the caret, character by character, as
  // far as the limit and the byte cap allow; characters without a
  // Shift-JIS form and control characters are left out.
  void type(std::string_view utf8);
  void backspace();
  void erase();  // the character after the caret
  void left();
  void right();
  void home();
  void end();
  void set_composition(std::string_view utf8) { composition_.assign(utf8); }

  const std::string& text() const { return text_; }  // Shift-JIS
  size_t caret() const { return caret_; }             // byte offset
  const std::string& composition() const { return composition_; }

 private:
  std::string text_;
  size_t caret_ = 0;
  int limit_ = 0;
  std::string composition_;
};

// Where the pieces of the dialog lie, relative to its client area.
struct InputBoxLayout {
  int width = 0, height = 0;
  Rect prompt, field, ok;
};
InputBoxLayout layout_input_box(const InputBoxSpec& spec, UiFont& font);

// The dialog's client area; `caret_on` blinks the caret. `caret_x` gets the
// caret's x (for the input method's candidate window).
PixelBuffer draw_input_box(const InputBoxSpec& spec, const InputBoxLayout& l, const InputField& field, bool caret_on,
                           bool ok_pressed, UiFont& font, int* caret_x = nullptr);

}  // namespace nv::platform
