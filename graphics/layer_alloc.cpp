#include "graphics/layer_alloc.h"

#include <new>

#include "core/engine.h"
#include "core/error_report.h"
#include "core/error_texts.h"
#include "graphics/image_error_texts.h"
#include "platform/encoding.h"

namespace nv::gfx {

void show_layer_box(Engine& e, std::string_view text_sjis) {
  platform::MessageBoxSpec box;
  box.caption = platform::utf8_to_sjis(kErrorCaption);
  box.text = std::string(text_sjis);
  box.icon = platform::Icon::error;
  e.platform.dialogs->message_box(box);
}

bool allocate_pixels(Engine& e, std::vector<uint32_t>& out, int32_t sx, int32_t sy, uint32_t fill,
                     std::string_view file_name) {
  const bool fits = sx > 0 && sy > 0 && sx <= kMaxImageSide && sy <= kMaxImageSide;
  if (fits) {
    try {
      std::vector<uint32_t> pixels(size_t(sx) * size_t(sy), fill);
      out.swap(pixels);
      return true;
    } catch (const std::bad_alloc&) {
    }
  }
  const ErrorArg args[] = {file_name, sx, sy};
  show_layer_box(e, format_message(platform::utf8_to_sjis(kImageAllocFailText), args));
  report(e, 104030, {file_name});
  return false;
}

bool allocate_canvas(Engine& e, Layer& l, int32_t sx, int32_t sy, uint32_t fill, std::string_view file_name) {
  if (!allocate_pixels(e, l.pixels, sx, sy, fill, file_name)) return false;
  l.sx = sx;
  l.sy = sy;
  return true;
}

}  // namespace nv::gfx
