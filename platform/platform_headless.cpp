#include "platform/platform.h"

namespace nv::platform {

Platform make_headless_platform(const HeadlessOptions& options) {
  Platform p;
  p.clock = make_virtual_clock(options.start_time);
  p.files = std::make_unique<FileSystem>(options.title_dir);
  p.dialogs = std::make_unique<HeadlessDialogs>(options.answer, options.err);
  p.system = make_fixed_system_info(options.desktop);
  return p;
}

HeadlessDialogs* headless_dialogs(Platform& p) { return dynamic_cast<HeadlessDialogs*>(p.dialogs.get()); }

}  // namespace nv::platform
