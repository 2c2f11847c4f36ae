// Adding to the message text queue and emptying it. Each function either
// queues everything it is given or nothing, and returns 0 or the error
// number of the refusal.
#pragma once

#include <string_view>

#include "text/text_state.h"

namespace nv::text {

constexpr int kErrTooMuchText = 102000;     // buffer or item limit
constexpr int kErrValueTextTooLong = 102030;  // one `_` text over 1024 bytes

// `_`: text made from a value. Refused when the buffer would exceed 8189
// bytes (102000) or the text is longer than 1024 bytes (102030). Control
// bytes and single bytes that are not characters are queued as spaces; a
// lead byte without its trail byte inside the text is a single byte.
int queue_value_text(TextState& s, std::string_view text);

// WORD: script text queued byte for byte; refused when the buffer would
// reach 8191 bytes (102000).
int queue_word_text(TextState& s, std::string_view text);

// Control items, one per kind letter (item::click ...), each with the
// current attributes.
int queue_controls(TextState& s, std::string_view kinds);

// The items RETURNCODE appends at the end of a text line: with an output
// mode other than 0, C (AUTOCLICK), R (AUTORETURN), P (AUTOPAGE); with mode
// 0 a request to clear the layer before the next output instead; E always.
int queue_line_end(TextState& s);

// Empties the queue and the buffer and leaves no click wait or skip behind
// (CLEAR, output finished, output mode not 1). The cursor stays.
void empty_queue(TextState& s);

}  // namespace nv::text
