#include "graphics/graphics_state.h"

#include "core/engine.h"
#include "graphics/worker_pool.h"

namespace nv::gfx {

GraphicsState::GraphicsState() = default;
GraphicsState::~GraphicsState() = default;

int start_graphics(Engine& e) {
  GraphicsState& g = e.graphics;
  select_routines(g.routines, e.platform.system->cpu_features(), e.user_settings.allow_second_routines,
                       e.user_settings.allow_third_routines);
  build_blend_tables(g.tables);

  clear_layer_tree(e);
  const int32_t w = int32_t(e.config.screen_width), h = int32_t(e.config.screen_height);
  Layer& root = *g.layers.root.layer;
  root.x = root.y = 0;
  root.sx = w;
  root.sy = h;
  g.layers.base_path = "W0";
  NodePath p{"W0", true};
  LayerNode* w0 = create_layer_set(e, p, w, h, 1);
  if (!w0) return -1;
  g.layers.w0 = w0;
  w0->layer->shown_by_window = true;
  g.windows[0].set = w0;
  g.windows[0].client_width = w;
  g.windows[0].client_height = h;

  const int n = worker_count_for(e.platform.system->processor_count(), e.user_settings.two_workers);
  g.workers = std::make_unique<WorkerPool>(n, e.stop);
  return 0;
}

}  // namespace nv::gfx
