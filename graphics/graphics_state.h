// What the graphics subsystem keeps for the life of a process: the layer
// tree, the pixel routines and blend tables, the worker pool, and the
// per-window facts the layer commands read (the set a window shows, its
// mouse position and client size, fed by the window code).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "graphics/blend_tables.h"
#include "graphics/layer_tree.h"
#include "graphics/pixel_routines.h"

namespace nv::gfx {

class WorkerPool;

constexpr int kWindowSlots = 4;

// One window as the layer code sees it.
struct WindowView {
  LayerNode* set = nullptr;        // the set the window displays (forgotten when released)
  int64_t mouse_x = 0, mouse_y = 0;  // client coordinates of the mouse
  int32_t client_width = 0, client_height = 0;
};

struct GraphicsState {
  LayerTree layers;
  PixelRoutines routines;
  BlendTables tables;
  std::unique_ptr<WorkerPool> workers;  // null until start-up starts them
  std::array<WindowView, kWindowSlots> windows{};

  bool screen_changed = false;  // something visible changed since the last presented frame
  uint32_t last_load_ms = 0;    // millisecond clock at the end of the last image load

  GraphicsState();
  ~GraphicsState();
  GraphicsState(const GraphicsState&) = delete;
  GraphicsState& operator=(const GraphicsState&) = delete;
};

// Start-up: routines chosen by the processor and the user settings, blend
// tables, the root sized like the main window, the set W0 of that size at
// Z 1 shown by window 0, and the workers. Returns 0, or -1 after a report.
int start_graphics(Engine& e);

}  // namespace nv::gfx
