// The desktop's clipboard, for text. The engine speaks Shift-JIS; the
// desktop holds Unicode text, converted at this edge.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace nv::platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's contents with the text. False when the
  // desktop refused.
  virtual bool set_text(std::string_view sjis) = 0;
  // The clipboard's text in Shift-JIS, or nothing when it holds no text.
  // Characters Shift-JIS cannot hold are left out.
  virtual std::optional<std::string> text() = 0;
};

// Desktop text (UTF-8) as Shift-JIS, leaving out characters and bytes that
// have no Shift-JIS form.
std::string clipboard_utf8_to_sjis(std::string_view utf8);

// SDL's clipboard (the window thread only).
std::unique_ptr<Clipboard> make_sdl_clipboard();

}  // namespace nv::platform
