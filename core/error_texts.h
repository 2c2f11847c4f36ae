// The texts the error routine knows without the title's error table.
#pragma once

#include <cstdint>
#include <string_view>

namespace nv {

// The built-in text (UTF-8) of `code`, or an empty view when it has none.
// Built-in texts win over the error table.
std::string_view builtin_error_text(uint32_t code);

// The text of a code that is neither built in nor in the table (UTF-8).
extern const std::string_view kUnknownErrorText;

// The error dialog's caption.
extern const std::string_view kErrorCaption;

}  // namespace nv
