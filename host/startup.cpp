#include "host/startup.h"

#include "core/error_report.h"
#include "display/window_create.h"
#include "graphics/graphics_state.h"
#include "host/engine.h"
#include "host/engine_config.h"
#include "input/input_frame.h"
#include "media/sound_engine.h"
#include "platform/encoding.h"
#include "resources/pack_mount.h"
#include "runtime/dispatch.h"
#include "runtime/engine_tables.h"

namespace nv {

namespace {

const char* const kErrorCaptionUtf8 = "エラー";

int system_box(Engine& e, const char* utf8_text) {
  return show_system_box(e, platform::utf8_to_sjis(kErrorCaptionUtf8), platform::utf8_to_sjis(utf8_text));
}

}  // namespace

bool probe_title_folder_writable(Engine& e) {
  // The probe file is created and deleted again. A title may ship its own
  // nvcfg.ini; that one must survive, so the probe then takes another name.
  std::string name = "nvcfg.ini";
  for (int k = 0; e.platform.files->exists(name); ++k) name = "nvcfg.ini." + std::to_string(k) + ".probe";
  const uint8_t probe[1] = {0};
  return e.platform.files->write(name, probe) && e.platform.files->remove(name);
}

StartupResult start_engine(Engine& e, const std::string& exe_path) {
  StartupResult r;
  // User settings: a missing file leaves the defaults.
  platform::FileRead dat = e.platform.files->read("nvcfg.dat");
  if (dat.status == platform::FileStatus::ok) apply_user_settings(dat.data, e.user_settings);

  if (res::mount_all_packs(e, exe_path) != 0) return r;

  e.title_folder_writable = probe_title_folder_writable(e);

  if (load_engine_config(e) != 0) return r;
  platform::DesktopSize desk = e.platform.system->desktop();
  if (e.config.screen_width == 0 && e.config.screen_height == 0) {
    e.config.screen_width = desk.width;
    e.config.screen_height = desk.height;
  }
  if (e.config.screen_width > desk.width || e.config.screen_height > desk.height) {
    system_box(e, "画面サイズが対応していません。");
    return r;
  }
  if (!display::create_main_window(e, exe_path)) {
    system_box(e, "ウィンドウが生成できませんでした。");
    return r;
  }
  input::note_joysticks(e, e.platform.joysticks);
  // Sound: the output opens when the title enables it; without one sound
  // stays off for the run.
  if (e.config.sound_enabled != 0 && e.platform.open_audio && !e.platform.audio) {
    e.platform.audio = e.platform.open_audio(e.sound.open_error);
    if (!e.platform.audio) log_info(e, "", "sound: " + e.sound.open_error);
  }
  init_sound(e.sound, e.platform.audio.get());
  for (size_t i = 0; i < 4; ++i) e.resources.image_order[i] = e.config.image_order[i];
  for (size_t i = 0; i < 2; ++i) e.resources.sound_order[i] = e.config.sound_order[i];
  if (gfx::start_graphics(e) != 0) return r;

  if (load_engine_tables(e) != 0) return r;

  int32_t label = find_label(e.scripts.labels, "SYSTEM_START");
  if (label < 0) {
    report_ex(e, 108180, ReportFlags{.stop = true, .framed = false}, {"SYSTEM_START"});
    return r;
  }
  const Label& l = e.scripts.labels.labels[size_t(label)];
  build_start_tree(e.tasks);
  Task& system = e.tasks.system->task;
  if (start_task_at(e, system, l.script, l.instruction) != 0) return r;
  system.if_depth = static_cast<int8_t>(l.if_depth);
  system.loop_depth = static_cast<int8_t>(l.loop_depth);

  media::start_sound_thread(e.sound);
  if (e.sound.enabled) media::start_keep_alive(e.sound);
  display::show_main_window_at_start(e);
  start_pacing(e.pacing, e.platform.clock->now_ms());
  r.ok = true;
  return r;
}

}  // namespace nv
