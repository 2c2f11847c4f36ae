// nivalo: plays a title.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/error_report.h"
#include "core/error_texts.h"
#include "display/screen_saver.h"
#include "display/window_create.h"
#include "display/window_events.h"
#include "input/key_names.h"
#include "input/scripted_input.h"
#include "graphics/png_encode.h"
#include "host/command_line.h"
#include "host/engine.h"
#include "host/main_loop.h"
#include "host/startup.h"
#include "platform/encoding.h"
#include "platform/headless/platform_headless.h"
#include "platform/instance_lock.h"
#include "platform/process.h"
#include "platform/sdl/platform_sdl.h"
#include "resources/appended_pack.h"
#include "resources/pack_mount.h"

namespace {

// The title key: the title's full path, lower-cased, with every separator
// turned into ':'.
std::string title_key(const std::string& dir) {
  std::error_code ec;
  std::string p = std::filesystem::weakly_canonical(dir, ec).string();
  for (char& c : p) {
    if (c == '/') c = ':';
    else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return p;
}

bool write_snapshot(nv::platform::Display& d, const std::string& file) {
  int w = 0, h = 0;
  std::vector<uint32_t> px = d.client_pixels(0, w, h);
  if (px.empty()) return false;
  std::vector<uint8_t> png = nv::gfx::encode_png(px.data(), w, h, false);
  return !png.empty() && nv::platform::write_host_file(file, png);
}

}  // namespace

int main(int argc, char** argv) {
  nv::LaunchOptions opt;
  std::string problem = nv::parse_command_line(std::vector<std::string>(argv + 1, argv + argc), opt);
  if (!problem.empty()) {
    std::fprintf(stderr, "nivalo: %s\n", problem.c_str());
    return 2;
  }
  if (opt.show_help) {
    std::fputs(nv::kUsageText, stdout);
    return 0;
  }
  if (opt.show_version) {
    std::printf("nivalo 0.1.0\n");
    return 0;
  }
  // A scripted input file is checked whole before anything starts.
  nv::input::ScriptedInput scripted;
  if (!opt.input.empty()) {
    std::ifstream in(opt.input, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "nivalo: cannot read the input file %s\n", opt.input.c_str());
      return 2;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string error;
    if (!nv::input::parse_scripted_input(text, opt.input, nv::input::virtual_key_of_name, scripted, error)) {
      std::fprintf(stderr, "nivalo: %s\n", error.c_str());
      return 2;
    }
  }
  std::string exe = nv::platform::executable_path();
  if (exe.empty()) exe = argv[0];
  const std::string dir = opt.title_dir.empty() ? "." : opt.title_dir;

  if (opt.first == nv::FirstArgument::nvcfg) {
    std::string tool = (std::filesystem::path(exe).parent_path() / "nvsettings").string();
    nv::platform::replace_process(tool, {dir, "/nvcfg"});
    std::fprintf(stderr, "nivalo: cannot start %s\n", tool.c_str());
    return 1;
  }

  nv::platform::Platform host;
  if (!opt.headless) {
    std::string why;
    host = nv::platform::make_interactive_platform(dir, why);
    if (!host.display) {
      std::fprintf(stderr, "nivalo: no window can be opened (%s); running headless\n", why.c_str());
      opt.headless = true;
    }
  }
  if (opt.headless)
    host = nv::platform::make_headless_platform({.title_dir = dir, .answer = opt.answer, .err = &std::cerr});

  if (opt.first == nv::FirstArgument::info) {
    nv::platform::MessageBoxSpec box;
    box.caption = "License Information";
    box.text = nv::platform::utf8_to_sjis(nv::builtin_error_text(100000));
    host.dialogs->message_box(box);
    return 0;
  }

  const nv::res::AppendedPack appended = nv::res::detect_appended_pack(exe);
  const bool screen_saver = appended.packed && appended.screen_saver != 0;

  // One instance per title: a second start asks the first to come forward;
  // a second screen saver asks the first to close, waits a second and runs.
  std::string key = title_key(dir);
  auto lock = nv::platform::InstanceLock::acquire(key);
  if (!lock && screen_saver) {
    nv::platform::send_instance_request(key, nv::platform::InstanceRequest::saver_close);
    host.clock->sleep_ms(1000);
    lock = nv::platform::InstanceLock::acquire(key);
  }
  if (!lock) {
    nv::platform::send_instance_request(key, nv::platform::InstanceRequest::raise);
    return 0;
  }

  // A title built as a screen saver answers the desktop's switches first.
  if (screen_saver) {
    nv::display::ScreenSaverSwitch sw = nv::display::parse_screen_saver_switch(opt.args);
    if (sw.action != nv::display::ScreenSaverAction::run) {
      nv::Engine probe(host);
      if (nv::res::mount_all_packs(probe, exe) != 0) return 1;
      return nv::display::run_screen_saver_switch(probe, sw);
    }
  }

  bool failed = false;
  int64_t restart = 0;
  {
    nv::Engine e(host);
    e.windows.screen_saver = screen_saver;
    e.input.script = scripted;
    nv::StartupResult started = nv::start_engine(e, exe);
    if (started.ok) {
      nv::MainLoopOptions loop;
      loop.max_frames = opt.frames;
      loop.on_turn = [&](nv::Engine& en) {
        nv::platform::InstanceRequest req = lock->take_request();
        if (req == nv::platform::InstanceRequest::saver_close && screen_saver) {
          nv::display::close_engine(en);
        } else if (req == nv::platform::InstanceRequest::raise) {
          if (en.platform.display->exists(0)) en.platform.display->raise(0);
          if (opt.headless) std::fprintf(stderr, "nivalo: a second start asked this instance to come forward\n");
        }
      };
      nv::run_main_loop(e, loop);
    }
    if (!opt.snapshot.empty()) {
      if (write_snapshot(*host.display, opt.snapshot))
        std::fprintf(stderr, "nivalo: the last frame is in %s\n", opt.snapshot.c_str());
      else
        std::fprintf(stderr, "nivalo: no snapshot written: the title has no main window\n");
    }
    nv::shut_down(e);
    failed = !started.ok || e.errors.dialog_shown;
    restart = e.tasks.restart_request;
    if (restart != 0) {
      std::string line = "END RESTART: " + exe;
      for (int i = 1; i < argc; ++i) line += std::string(" ") + argv[i];
      nv::log_info(e, "", line);
    }
  }
  lock.reset();
  if (restart != 0 && !nv::platform::start_process(exe, std::vector<std::string>(argv + 1, argv + argc)))
    std::fprintf(stderr, "nivalo: the restart could not start %s\n", exe.c_str());
  return failed ? 1 : 0;
}
