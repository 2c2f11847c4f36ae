#include "host/screen_saver.h"

#include <cstdlib>

#include "graphics/image.h"
#include "host/engine.h"
#include "platform/encoding.h"
#include "resources/file_loader.h"

namespace nv {

namespace {

bool is_switch(const std::string& a, char letter) {
  return a.size() >= 2 && (a[0] == '/' || a[0] == '-') && (a[1] == letter || a[1] == letter - 'a' + 'A') &&
         (a.size() == 2 || a[2] == ':');
}

}  // namespace

ScreenSaverSwitch parse_screen_saver_switch(const std::vector<std::string>& args) {
  std::vector<std::string> plain;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) == 0) {
      if ((a == "--frames" || a == "--snapshot" || a == "--answer") && i + 1 < args.size()) ++i;
      continue;
    }
    if (a.empty() || (a[0] != '/' && a[0] != '-')) continue;  // the title folder
    plain.push_back(a);
  }
  ScreenSaverSwitch s;
  if (plain.empty()) {
    s.action = ScreenSaverAction::info;
    return s;
  }
  const std::string& a = plain[0];
  // The desktop writes the handle after the switch or after a ':'.
  auto handle = [&](uint64_t& out) {
    std::string v = a.size() > 3 && a[2] == ':' ? a.substr(3) : plain.size() > 1 ? plain[1] : std::string();
    char* end = nullptr;
    out = std::strtoull(v.c_str(), &end, 10);
    return !v.empty() && *end == '\0';
  };
  if (is_switch(a, 'p')) {
    s.action = ScreenSaverAction::preview;
    if (!handle(s.parent)) s.action = ScreenSaverAction::none;
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
      e.host.dialogs->message_box(box);
      return 0;
    }
    case ScreenSaverAction::preview: {
      // Without a picture the preview stays black.
      DecodedImage img;
      FileRequest req;
      if (load_file(e, kPreviewImage, req, false) != kLoadOk || decode_bmp(req.data, img) != 0) {
        img = DecodedImage{};
        img.width = img.height = 1;
        img.pixels.assign(1, 0xFF000000u);
      }
      return e.host.display->run_preview(s.parent, img.pixels.data(), img.width, img.height) ? 0 : 1;
    }
    default: return 0;
  }
}

}  // namespace nv
