// The text commands: FONT, FONTINFO, TEXT, TEXTINFO, `_`, WORD, and the
// text side of RETURNCODE.
#pragma once

namespace nv {
struct Engine;
}  // namespace nv

namespace nv::text {


int font_command(Engine& e);
int fontinfo_command(Engine& e);
int text_command(Engine& e);
int textinfo_command(Engine& e);
int underscore_command(Engine& e);
int word_command(Engine& e);

// RETURNCODE: the control-flow part (the task keeps the line's values,
// waits for its text and ends its turn), then the line-end items for the
// text output (see queue_line_end).
int text_returncode_command(Engine& e);

}  // namespace nv::text
