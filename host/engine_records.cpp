#include "host/engine.h"

#include "host/handler_table.h"
#include "host/system_variables.h"
#include "input/menu_commands.h"
#include "runtime/dispatch.h"

namespace nv {

EngineRecords::EngineRecords(platform::Platform& platform)
    : sysvars(system_var_state_at_start(*platform.clock)), varcmd(data::var_command_state_at_start(*platform.clock)) {}

Engine::Engine(platform::Platform& platform_services)
    : platform(platform_services),
      records_(std::make_unique<EngineRecords>(platform_services)),
      scripts(records_->scripts),
      dispatch(records_->dispatch),
      tasks(records_->tasks),
      args(records_->args),
      eval(records_->eval),
      vars(records_->vars),
      varfile(records_->varfile),
      sysvars(records_->sysvars),
      varcmd(records_->varcmd),
      save(records_->save),
      resources(records_->resources),
      graphics(records_->graphics),
      pacing(records_->pacing),
      windows(records_->windows),
      text(records_->text),
      fonts(records_->fonts),
      input(records_->input),
      sound(records_->sound),
      script_thread(records_->script_thread) {
  // The tables that list every subsystem, and the error routine's script
  // position, come from the top.
  fill_handler_tables(dispatch);
  sysvars.table = &system_variable_table();
  errors.script_position = current_script_position;
  windows.attach_menu_bar = input::attach_menu_bar;
  sound.host = media::SoundHost{platform.clock.get(), &lock, &stop, [this](const std::string& caption, const std::string& text) {
                           platform::MessageBoxSpec box;
                           box.caption = caption;
                           box.text = text;
                           box.icon = platform::Icon::error;
                           platform.dialogs->message_box(box);
                         }};
}

Engine::~Engine() { shut_down(*this); }

}  // namespace nv
