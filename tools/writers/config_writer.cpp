#include "tools/writers/config_writer.h"

#include "formats/title_config.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

Bytes encode_config(const ConfigModel& m) {
  if (!screen_size_allowed(m.width, m.height))
    throw WriteError("screen size " + std::to_string(m.width) + " x " + std::to_string(m.height) +
                     " (width 128 to 2048, height 16 to 2048, or 0 x 0 for the desktop)");
  if (!script_thread_allowed(m.script_thread)) throw WriteError("the script thread setting must be 0 or 1");
  if (m.caption.size() > kMaxCaptionBytes) throw WriteError("the caption has more than 128 bytes");
  EngineConfig c;
  c.screen_width = m.width;
  c.screen_height = m.height;
  c.initial_shown = m.shown;
  c.image_order = m.image_order;
  c.sound_order = m.sound_order;
  c.script_thread = m.script_thread;
  c.debug_mode = m.debug;
  c.sound_enabled = m.sound;
  c.resizable = m.resizable;
  c.frame_setting = m.frames;
  c.caption = m.caption;
  return encode_engine_config(c);
}

}  // namespace nv::writers
