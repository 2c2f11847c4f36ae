// The engine with every subsystem's record: what the top (host/), the tests
// and the tools that drive a whole engine include. The records are built
// and wired by the constructor in host/engine_records.cpp.
#pragma once

#include "core/engine.h"
#include "data/save_state.h"
#include "data/var_command_state.h"
#include "display/windows_state.h"
#include "graphics/frame_pacing.h"
#include "graphics/graphics_state.h"
#include "host/main_loop.h"
#include "input/input_state.h"
#include "media/sound_state.h"
#include "resources/resource_state.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "runtime/task_tree.h"
#include "text/font_state.h"
#include "text/text_state.h"
#include "values/evaluator_state.h"
#include "values/system_vars.h"
#include "values/variable_file.h"
#include "values/variables.h"

namespace nv {

// Every subsystem record, owned by the engine.
struct EngineRecords {
  explicit EngineRecords(platform::Platform& platform);

  ScriptTables scripts;
  DispatchState dispatch;
  TaskTree tasks;
  ArgSlots args;
  EvaluatorState eval;
  VariableTable vars;
  VariableFile varfile;
  SystemVarState sysvars;
  data::VarCommandState varcmd;
  data::SaveState save;
  res::ResourceState resources;
  gfx::GraphicsState graphics;
  gfx::FramePacing pacing;
  display::WindowsState windows;
  text::TextState text;
  text::FontState fonts;
  input::InputState input;
  media::SoundState sound;
  ScriptThread script_thread;
};

}  // namespace nv
