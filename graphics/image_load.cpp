// Loading a named picture: file loader, decoder, error reports.
#include "core/engine.h"
#include "core/error_report.h"
#include "core/error_texts.h"
#include "graphics/frame_pacing.h"
#include "graphics/image.h"
#include "graphics/image_error_texts.h"
#include "platform/encoding.h"
#include "resources/file_loader.h"
#include "resources/media_resolver.h"

namespace nv::gfx {

namespace {

void set_empty_image(DecodedImage& out) {
  out = DecodedImage{};
  out.width = out.height = 1;
  out.pixels.assign(1, kTransparentGrey);
}

int report_image_error(Engine& e, uint32_t code, std::string_view command, std::string_view name,
                       const DecodedImage& failed) {
  switch (code) {
    case kErrUnsupportedFile: return report(e, code, {command, name});
    case kErrPng:
    case kErrJpeg:
    case kErrGif:
    case kErrPsd: return report(e, code);
    case kErrNoMemory: {
      const ErrorArg args[] = {name, failed.width, failed.height};
      platform::MessageBoxSpec box;
      box.caption = std::string(kErrorCaption);
      box.text = format_message(platform::utf8_to_sjis(kImageAllocFailText), args);
      box.icon = platform::Icon::error;
      e.platform.dialogs->message_box(box);
      return report(e, code);
    }
    default: return report(e, code, {name});
  }
}

// Finds and reads the file: a name with an image extension or none goes
// through the media resolver (which probes the configured extensions); any
// other extension (".psd", ".wav" ...) is looked up as given, so that its
// type is refused with its own message.
int find_and_read(Engine& e, std::string_view name, res::FileRequest& req) {
  const FileType named = res::file_type_of_name(name);
  const bool image_ext = named == FileType::bmp || named == FileType::png || named == FileType::jpeg ||
                         named == FileType::gif;
  const size_t dot = name.rfind('.');
  const bool has_ext = dot != std::string_view::npos && name.find_first_of("\\/", dot) == std::string_view::npos;
  if (has_ext && !image_ext) return res::load_file(e, name, req, false);
  const int r = res::resolve_media(e, name, res::MediaKind::image, req);
  if (r == res::kMediaError) return res::kLoadDamaged;
  if (r == res::kMediaNotFound) return res::kLoadNotFound;
  return res::load_file(e, name, req, false, false);
}

}  // namespace

int load_image(Engine& e, std::string_view name, DecodedImage& out, std::string_view command) {
  if (name.empty()) {
    set_empty_image(out);
  } else {
    res::FileRequest req;
    const int found = find_and_read(e, name, req);
    if (found == res::kLoadNotFound) {
      set_empty_image(out);
    } else if (found != res::kLoadOk) {
      out = DecodedImage{};
      return -1;  // reported by the loader
    } else {
      const FileType type = req.type != FileType::unknown ? req.type : res::file_type_of_name(req.name);
      const uint32_t code = decode_image(type, req.data, out);
      if (code != 0) {
        report_image_error(e, code, command, name, out);
        out = DecodedImage{};
        return -1;
      }
    }
  }
  out.loaded_at_ms = e.platform.clock->now_ms();
  // The time a load takes does not make the frame late.
  note_image_loaded(e.pacing, out.loaded_at_ms);
  return 0;
}

}  // namespace nv::gfx
