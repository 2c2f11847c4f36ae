// Composition of a 1280 x 720 scene (opaque background, three alpha
// sprites, a half-opacity window, a rule transition) with one and two
// workers, beside pixman doing the same drawing on one thread and memcpy of
// the canvas; then the mode-0 alpha kernel against pixman's OVER per pixel
// and the opaque full-canvas copy against memcpy. Prints figures and ratios.
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "graphics/compose.h"
#include "graphics/graphics_state.h"
#include "host/engine.h"
#include "platform/headless/platform_headless.h"
#include "platform/platform.h"

namespace {

constexpr int kW = 1280, kH = 720;

using Clock = std::chrono::steady_clock;

template <typename F>
double per_second(F&& f, double seconds = 1.0) {
  f();  // warm up
  int n = 0;
  const auto start = Clock::now();
  double elapsed = 0;
  do {
    f();
    ++n;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  } while (elapsed < seconds);
  return n / elapsed;
}

std::vector<uint32_t> noise(int w, int h, bool alpha, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint32_t> px(size_t(w) * size_t(h));
  for (uint32_t& p : px) p = alpha ? uint32_t(rng()) : (uint32_t(rng()) | 0xFF000000u);
  return px;
}

nv::gfx::LayerNode* add_layer(nv::Engine& e, const char* name, int w, int h, int64_t x, int64_t y, int64_t z, bool alpha,
                         uint32_t seed) {
  nv::NodePath p{std::string("W0/") + name, false};
  nv::gfx::LayerNode* n = nv::gfx::create_layer_node(e, p, z);
  nv::gfx::give_fresh_layer(*n);
  nv::gfx::Layer& l = *n->layer;
  l.sx = w;
  l.sy = h;
  l.x = x;
  l.y = y;
  l.alpha = alpha;
  l.pixels = noise(w, h, alpha, seed);
  return n;
}

struct Scene {
  nv::platform::Platform host;
  std::unique_ptr<nv::Engine> e;
};

void build_scene(Scene& s, bool two_workers, bool full_scene) {
  s.host = nv::platform::make_headless_platform({.desktop = {kW, kH}});
  s.e = std::make_unique<nv::Engine>(s.host);
  nv::Engine& e = *s.e;
  e.config.screen_width = kW;
  e.config.screen_height = kH;
  e.user_settings.two_workers = two_workers;
  nv::gfx::start_graphics(e);
  add_layer(e, "bg", kW, kH, 0, 0, 1, false, 1);
  if (!full_scene) return;
  for (int i = 0; i < 3; ++i) add_layer(e, ("sprite" + std::to_string(i)).c_str(), 256, 256, 100 + 350 * i, 200, 2, true, 10 + i);
  add_layer(e, "window", 1100, 200, 90, 500, 3, false, 20)->layer->opacity = 128;
  add_layer(e, "rule", kW, kH, 0, 0, 0, false, 30)->layer->visible = 0;
  nv::gfx::Layer& fade = *add_layer(e, "fade", kW, kH, 0, 0, 4, false, 40)->layer;
  fade.tid = "rule";
  fade.threshold = 128;
  fade.softness = 64;
}

// One frame of a player's composition: the set is marked dirty, composed
// and its dirty state reset after the presented frame.
struct ComposeScene {
  Scene s;
  ComposeScene(bool two_workers, bool full_scene) { build_scene(s, two_workers, full_scene); }
  void frame() {
    nv::Engine& e = *s.e;
    nv::gfx::LayerNode* w0 = e.graphics.layers.w0;
    nv::gfx::mark_set_dirty(*w0);
    nv::gfx::compose_set(e, *w0, false);
    nv::gfx::reset_dirty_tree(e);
  }
};

pixman_image_t* image_of(std::vector<uint32_t>& px, int w, int h, bool alpha) {
  return pixman_image_create_bits(alpha ? PIXMAN_a8r8g8b8 : PIXMAN_x8r8g8b8, w, h, px.data(), w * 4);
}

// The same drawing through pixman on one thread.
struct PixmanScene {
  std::vector<uint32_t> canvas = std::vector<uint32_t>(size_t(kW) * kH), bg = noise(kW, kH, false, 1),
                        win = noise(1100, 200, false, 20), fade = noise(kW, kH, false, 40);
  std::vector<std::vector<uint32_t>> sprites;
  pixman_image_t *dst, *bgi, *wini, *fadei, *half_mask;
  std::vector<pixman_image_t*> spr;

  PixmanScene() {
    for (int i = 0; i < 3; ++i) sprites.push_back(noise(256, 256, true, 10 + i));
    dst = image_of(canvas, kW, kH, true);
    bgi = image_of(bg, kW, kH, false);
    wini = image_of(win, 1100, 200, false);
    fadei = image_of(fade, kW, kH, false);
    for (auto& sp : sprites) spr.push_back(image_of(sp, 256, 256, true));
    pixman_color_t half{0, 0, 0, 0x8000};
    half_mask = pixman_image_create_solid_fill(&half);
  }
  ~PixmanScene() {
    for (auto* i : spr) pixman_image_unref(i);
    for (auto* i : {dst, bgi, wini, fadei, half_mask}) pixman_image_unref(i);
  }
  PixmanScene(const PixmanScene&) = delete;
  PixmanScene& operator=(const PixmanScene&) = delete;

  void frame() {
    pixman_image_composite32(PIXMAN_OP_SRC, bgi, nullptr, dst, 0, 0, 0, 0, 0, 0, kW, kH);
    for (int i = 0; i < 3; ++i)
      pixman_image_composite32(PIXMAN_OP_OVER, spr[size_t(i)], nullptr, dst, 0, 0, 0, 0, 100 + 350 * i, 200, 256, 256);
    pixman_image_composite32(PIXMAN_OP_OVER, wini, half_mask, dst, 0, 0, 0, 0, 90, 500, 1100, 200);
    // The rule transition as a half-strength cross-fade of the full canvas.
    pixman_image_composite32(PIXMAN_OP_OVER, fadei, half_mask, dst, 0, 0, 0, 0, 0, 0, kW, kH);
  }
};

struct MemcpyFrame {
  std::vector<uint32_t> a = noise(kW, kH, false, 1), b = std::vector<uint32_t>(a.size());
  void frame() {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    asm volatile("" : : "r"(b.data()) : "memory");
  }
};

// Frames per second of each function: the median of `rounds` windows of
// `window` seconds, the functions taking turns window by window.
std::vector<double> interleaved_fps(const std::vector<std::function<void()>>& frames, int rounds = 9,
                                    double window = 0.12) {
  std::vector<std::vector<double>> fps(frames.size());
  for (int r = 0; r < rounds; ++r) {
    for (size_t i = 0; i < frames.size(); ++i) fps[i].push_back(per_second(frames[i], window));
  }
  std::vector<double> out;
  for (auto& f : fps) {
    std::sort(f.begin(), f.end());
    out.push_back(f[f.size() / 2]);
  }
  return out;
}

// Mega-pixels per second of the installed mode-0 alpha kernel and of
// pixman's OVER, one thread, over a full canvas.
void kernel_vs_pixman() {
  Scene s;
  build_scene(s, false, false);
  nv::gfx::GraphicsState& g = s.e->graphics;
  std::vector<uint32_t> dst = noise(kW, kH, false, 2), src = noise(kW, kH, true, 3);
  const nv::gfx::BlendKernel k = g.routines.set.kernels[int(nv::gfx::KernelForm::alpha_full)][0];
  const double ours = per_second([&] {
    nv::gfx::BlendRow r;
    r.width = kW;
    r.mode_table = g.tables.mode_table(0);
    for (int y = 0; y < kH; ++y) {
      r.dst = reinterpret_cast<uint8_t*>(dst.data() + size_t(y) * kW);
      r.src = reinterpret_cast<const uint8_t*>(src.data() + size_t(y) * kW);
      k(r);
    }
  }) * kW * kH / 1e6;
  pixman_image_t* d = image_of(dst, kW, kH, true);
  pixman_image_t* si = image_of(src, kW, kH, true);
  const double theirs = per_second([&] {
    pixman_image_composite32(PIXMAN_OP_OVER, si, nullptr, d, 0, 0, 0, 0, 0, 0, kW, kH);
  }) * kW * kH / 1e6;
  pixman_image_unref(d);
  pixman_image_unref(si);
  std::printf("mode-0 alpha kernel (%s): %.0f Mpixel/s   pixman OVER: %.0f Mpixel/s   ratio %.2f (target >= 1)\n",
              nv::gfx::routine_level_name(g.routines.level), ours, theirs, ours / theirs);
}

// Mega-pixels per second of each mode-0 kernel form over a full canvas.
void kernel_forms() {
  Scene s;
  build_scene(s, false, false);
  nv::gfx::GraphicsState& g = s.e->graphics;
  std::vector<uint32_t> dst = noise(kW, kH, false, 2), src = noise(kW, kH, true, 3), rule = noise(kW, kH, false, 4);
  std::vector<uint32_t> weights(256);
  for (int i = 0; i < 256; ++i) weights[size_t(i)] = uint32_t(i + 1);
  const char* names[] = {"opaque", "opaque A128", "alpha", "alpha A128", "rule", "rule+alpha"};
  std::printf("mode-0 kernel forms (Mpixel/s):");
  for (int f = 0; f < nv::gfx::kKernelFormCount; ++f) {
    const nv::gfx::BlendKernel k = g.routines.set.kernels[f][0];
    const double mps = per_second([&] {
      nv::gfx::BlendRow r;
      r.width = kW;
      r.opacity = f == 1 || f == 3 ? 128 : 256;
      r.rule_table = weights.data();
      r.mode_table = g.tables.mode_table(0);
      for (int y = 0; y < kH; ++y) {
        r.dst = reinterpret_cast<uint8_t*>(dst.data() + size_t(y) * kW);
        r.src = reinterpret_cast<const uint8_t*>(src.data() + size_t(y) * kW);
        r.rule = reinterpret_cast<const uint8_t*>(rule.data() + size_t(y) * kW);
        k(r);
      }
    }, 0.3) * kW * kH / 1e6;
    std::printf("  %s %.0f", names[f], mps);
  }
  std::printf("\n");
}

}  // namespace

int main() {
  ComposeScene one_worker(false, true), two_workers(true, true), copy_only(false, false);
  PixmanScene px_scene;
  MemcpyFrame mc_frame;
  const std::vector<double> fps = interleaved_fps({[&] { one_worker.frame(); }, [&] { two_workers.frame(); },
                                                   [&] { px_scene.frame(); }, [&] { mc_frame.frame(); },
                                                   [&] { copy_only.frame(); }});
  const double one = fps[0], two = fps[1], px = fps[2], mc = fps[3], copy1 = fps[4];
  std::printf("scene 1280x720: 1 worker %.0f fps, 2 workers %.0f fps, pixman (1 thread) %.0f fps, memcpy %.0f fps\n",
              one, two, px, mc);
  std::printf("ratios: 1 worker / pixman %.2f, 2 workers / pixman %.2f, 2 workers / 1 worker %.2f\n", one / px,
              two / px, two / one);
  kernel_vs_pixman();
  kernel_forms();
  std::printf("opaque full-canvas copy: %.0f fps (1 worker), memcpy %.0f fps, memcpy / copy %.2f (target <= 1.3)\n",
              copy1, mc, mc / copy1);
  return 0;
}
