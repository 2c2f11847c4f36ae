#include "host/handler_table.h"

#include <cstddef>

#include "data/save_commands.h"
#include "data/variable_commands.h"
#include "display/window_commands.h"
#include "formats/command_table.h"
#include "host/system_command.h"
#include "graphics/fps_command.h"
#include "graphics/layer_commands.h"
#include "input/input_commands.h"
#include "input/menu_commands.h"
#include "media/sound_commands.h"
#include "runtime/control_flow.h"
#include "runtime/dispatch.h"
#include "runtime/error_table.h"
#include "runtime/task_commands.h"
#include "text/text_commands.h"

namespace nv {

void fill_handler_tables(DispatchState& d) {
  d.direct.fill(default_handler);
  d.paused.fill(pause_wrapper);

  namespace c = cmd;
  for (int n : {c::CDDA, c::ERRORINFO, c::MIDIEND, c::MIDIINFO, c::PLUG, c::SAVEINFO, c::VAR})
    d.direct[static_cast<size_t>(n)] = evaluate_only_handler;
  for (int n : {c::DEBUGLIST, c::LABEL, c::PREP, c::RETURNBREAK, c::S_FLT, c::S_INT, c::S_STR})
    d.direct[static_cast<size_t>(n)] = nothing_handler;
  d.direct[c::ERROR_] = error_command;

  // Tasks and control flow.
  d.direct[c::TASK] = task_command;
  d.direct[c::TASKEND] = taskend_command;
  d.direct[c::TASKINFO] = taskinfo_command;
  d.direct[c::WAIT] = wait_command;
  d.direct[c::IF] = if_command;
  d.direct[c::ELSE] = else_command;
  d.direct[c::IFBLEND] = ifblend_command;
  d.direct[c::IFEND] = ifend_command;
  d.direct[c::IFBREAK] = ifbreak_command;
  d.direct[c::IFCONTINUE] = ifcontinue_command;
  d.direct[c::LOOP] = loop_command;
  d.direct[c::LOOPEND] = loopend_command;
  d.direct[c::LOOPBREAK] = loopbreak_command;
  d.direct[c::LOOPCONTINUE] = loopcontinue_command;
  d.direct[c::GO] = go_command;
  d.direct[c::GOSUB] = gosub_command;
  d.direct[c::RETURN] = return_command;
  d.direct[c::RETURNCODE] = text::text_returncode_command;  // the control flow's part, and the text's items
  d.direct[c::LABELINFO] = labelinfo_command;
  d.direct[c::END] = end_command;

  // Variable commands.
  d.direct[c::LET] = data::let_command;
  d.direct[c::INT] = data::int_command;
  d.direct[c::FLT] = data::flt_command;
  d.direct[c::STR] = data::str_command;
  d.direct[c::VARACT] = data::varact_command;
  d.direct[c::VARINFO] = data::varinfo_command;
  d.direct[c::MATH] = data::math_command;

  // Save data and CSV.
  d.direct[c::SAVE] = data::save_command;
  d.direct[c::LOAD] = data::load_command;
  d.direct[c::SAVEEND] = data::saveend_command;
  d.direct[c::CSV] = data::csv_command;
  d.direct[c::CSVINFO] = data::csvinfo_command;

  // Windows and frame pacing.
  d.direct[c::WINDOW] = display::window_command;
  d.direct[c::WINDOWEND] = display::windowend_command;
  d.direct[c::WINDOWINFO] = display::windowinfo_command;
  d.direct[c::FPS] = gfx::fps_command;

  // Input, menus, tray, dialogs and the clipboard.
  d.direct[c::INPUT] = input::input_command;
  d.direct[c::MOUSE] = input::mouse_command;
  d.direct[c::MENU] = input::menu_command;
  d.direct[c::MENUACT] = input::menuact_command;
  d.direct[c::MENUEND] = input::menuend_command;
  d.direct[c::MENUINFO] = input::menuinfo_command;
  d.direct[c::TRAY] = input::tray_command;
  d.direct[c::DIALOG] = input::dialog_command;
  d.direct[c::CLIPACT] = input::clipact_command;
  d.direct[c::CLIPINFO] = input::clipinfo_command;

  // Layers.
  d.direct[c::CG] = gfx::cg_command;
  d.direct[c::CGEND] = gfx::cgend_command;
  d.direct[c::CGINFO] = gfx::cginfo_command;

  // Sound.
  d.direct[c::SOUND] = media::sound_command;
  d.direct[c::SOUNDEND] = media::soundend_command;
  d.direct[c::SOUNDINFO] = media::soundinfo_command;

  // The host's switches and the script timers.
  d.direct[c::SYSTEM] = system_command;

  // Message text and fonts.
  d.direct[c::FONT] = text::font_command;
  d.direct[c::FONTINFO] = text::fontinfo_command;
  d.direct[c::TEXT] = text::text_command;
  d.direct[c::TEXTINFO] = text::textinfo_command;
  d.direct[c::UNDERSCORE] = text::underscore_command;
  d.direct[c::WORD] = text::word_command;
}

}  // namespace nv
