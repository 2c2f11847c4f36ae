#include "display/screen_saver.h"

#include <cstdlib>

#include "core/engine.h"
#include "graphics/image.h"
#include "platform/encoding.h"
#include "resources/file_loader.h"

namespace nv::display {

namespace {

bool is_switch(const std::string& a, char letter) {
  return a.size() >= 2 && (a[0] == '/' || a[0] == '-') && (a[1] == letter || a[1] == letter - 'a' + 'A') &&
         (a.size() == 2 || a[2] == ':');
}

}  // namespace

ScreenSaverSwitch parse_screen_saver_switch(const std::vector<std::string>& args) {
  // The first argument that is a switch, and the one after it.
  std::string a, next;
  for (size_t i = 0; i < args.size() && a.empty(); ++i) {
    const std::string& v = args[i];
    if (v.rfind("--", 0) == 0) {
      if ((v == "--frames" || v == "--snapshot" || v == "--answer") && i + 1 < args.size()) ++i;
      continue;
    }
    if (v.size() < 2 || (v[0] != '/' && v[0] != '-')) continue;  // the title folder
    a = v;
    if (i + 1 < args.size()) next = args[i + 1];
  }
  ScreenSaverSwitch s;
  if (a.empty()) {
    s.action = ScreenSaverAction::info;
    return s;
  }
  // The desktop writes the window handle after a ':' or as the next argument.
  auto handle = [&](uint64_t& out) {
    std::string v = a.size() > 3 && a[2] == ':' ? a.substr(3) : next;
    char* end = nullptr;
    out = std::strtoull(v.c_str(), &end, 10);
    return !v.empty() && v[0] >= '0' && v[0] <= '9' && *end == '\0';
  };
  if (is_switch(a, 'p')) {
    s.action = handle(s.parent) ? ScreenSaverAction::preview : ScreenSaverAction::none;
  } else if (is_switch(a, 'a')) {
    s.action = ScreenSaverAction::none;
  } else if (is_switch(a, 'c')) {
    uint64_t ignored = 0;
    s.action = handle(ignored) ? ScreenSaverAction::run : ScreenSaverAction::info;
  }
  return s;
}

int run_screen_saver_switch(Engine& e, const ScreenSaverSwitch& s) {
  switch (s.action) {
    case ScreenSaverAction::info: {
      platform::MessageBoxSpec box;
      box.caption = e.config.caption;
      box.text = platform::utf8_to_sjis(kScreenSaverInfoUtf8);
      box.icon = platform::Icon::information;
      e.platform.dialogs->message_box(box);
      return 0;
    }
    case ScreenSaverAction::preview: {
      // Without a picture the preview stays black.
      gfx::DecodedImage img;
      res::FileRequest req;
      if (res::load_file(e, kPreviewImage, req, false) != res::kLoadOk || gfx::decode_bmp(req.data, img) != 0) {
        img = gfx::DecodedImage{};
        img.width = img.height = 1;
        img.pixels.assign(1, 0xFF000000u);
      }
      return e.platform.display->run_preview(s.parent, img.pixels.data(), img.width, img.height) ? 0 : 1;
    }
    default: return 0;
  }
}

}  // namespace nv::display
