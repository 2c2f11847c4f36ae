#include "tools/writers/config_writer.h"

namespace nv::writers {

Bytes encode_config(const ConfigModel& c) {
  bool desktop = c.width == 0 && c.height == 0;
  if (!desktop && (c.width < 128 || c.width > 2048 || c.height < 16 || c.height > 2048))
    throw WriteError("screen size " + std::to_string(c.width) + " x " + std::to_string(c.height) +
                     " (width 128 to 2048, height 16 to 2048, or 0 x 0 for the desktop)");
  if (c.script_thread != 0 && c.script_thread != 1) throw WriteError("the script thread setting must be 0 or 1");
  if (c.caption.size() > 128) throw WriteError("the caption has more than 128 bytes");
  ByteWriter w;
  w.magic("NVCF");
  w.u32(kFormatVersion);
  w.u32(1);
  w.u32(0);
  w.i32(c.width);
  w.i32(c.height);
  w.i32(c.shown);
  w.bytes(c.image_order);
  w.bytes(c.sound_order);
  w.i32(c.script_thread);
  w.i32(c.debug);
  w.i32(c.sound);
  w.i32(c.resizable);
  w.i32(c.frames);
  w.i32(0);
  w.u16(static_cast<uint16_t>(c.caption.size()));
  w.text(c.caption);
  return w.take();
}

Bytes encode_user_settings(const std::array<int32_t, 32>& words) {
  ByteWriter w;
  for (int32_t v : words) w.i32(v);
  return w.take();
}

}  // namespace nv::writers
