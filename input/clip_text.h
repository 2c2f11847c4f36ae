// Clipboard text as CLIPINFO gives it to scripts, and DIALOG's answers as
// scripts see them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/dialogs.h"

namespace nv::input {

constexpr size_t kClipInfoMaxBytes = 1024;

// The first 1024 bytes of the clipboard's Shift-JIS text (never half a
// double-byte character), without control characters (codes 0 to 31) and
// without a lead byte that has lost its second byte.
std::string clip_text_for_script(std::string_view sjis);

// The value DIALOG stores for a message box's answer (a Windows button id):
// OK and OK/Cancel boxes 1 OK, 2 Cancel; Yes/No boxes 1 Yes, 2 No, 3 Cancel.
int64_t dialog_answer_value(platform::Buttons buttons, int answer_id);

}  // namespace nv::input
