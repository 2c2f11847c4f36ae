#include "display/window_commands.h"

#include "core/engine.h"
#include "core/error_report.h"
#include "display/window_create.h"
#include "display/window_layers.h"
#include "display/windows_state.h"
#include "formats/command_table.h"
#include "formats/sjis_text.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/output_target.h"

namespace nv::display {

namespace {

constexpr std::string_view kWindow = "WINDOW";
constexpr std::string_view kWindowEnd = "WINDOWEND";

platform::ZOrder z_order_of(int64_t z) {
  switch (z) {
    case 1: return platform::ZOrder::always_on_top;
    case 2: return platform::ZOrder::bottom;
    case 3: return platform::ZOrder::behind_main;
    default: return platform::ZOrder::top;
  }
}

std::string caption_text(std::string_view text) { return std::string(sjis::prefix_fitting(text, kCaptionLimit)); }

// Step 1: a new client size for an existing window (not in full screen).
void apply_size(Engine& e, int no) {
  namespace K = kw::WINDOW;
  const ArgSlots& a = e.args;
  WindowRecord& r = e.windows.at(no);
  if (!r.exists || (no == 0 && e.windows.fullscreen)) return;
  int32_t sx = a.has(K::SX) ? static_cast<int32_t>(a.at(K::SX).value) : r.sx;
  int32_t sy = a.has(K::SY) ? static_cast<int32_t>(a.at(K::SY).value) : r.sy;
  if (sx == r.sx && sy == r.sy) return;
  r.sx = sx;
  r.sy = sy;
  e.platform.display->resize_client(no, sx, sy);
  r.source = {0, 0, sx, sy};
  note_client_size(e, no);
  mark_window_redraw(e, no);
}

// Step 2: the first WINDOW of a sub-window slot creates it.
int create_sub_window(Engine& e, int no) {
  namespace K = kw::WINDOW;
  const ArgSlots& a = e.args;
  WindowRecord& r = e.windows.at(no);
  if (!a.has(K::CAPTION)) return report(e, 101320, {kWindow});
  r.sx = a.has(K::SX) ? static_cast<int32_t>(a.at(K::SX).value) : kSubWindowDefaultSize;
  r.sy = a.has(K::SY) ? static_cast<int32_t>(a.at(K::SY).value) : kSubWindowDefaultSize;
  r.caption = caption_text(a.at(K::CAPTION).text_view());
  if (!create_window_for(e, no)) return report(e, 101320, {kWindow});
  // The new window is shown; its record says so, so that a later E or A
  // change is measured against what the screen shows.
  r.alpha = 256;
  r.enabled = 1;
  set_window_shown(e, no, true);
  return 0;
}

}  // namespace

int window_command(Engine& e) {
  namespace K = kw::WINDOW;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  const int no = static_cast<int>(a.value(K::NO));
  WindowRecord& r = e.windows.at(no);
  platform::Display& d = *e.platform.display;

  if (r.exists) apply_size(e, no);
  else if (create_sub_window(e, no) != 0) return -1;

  if (a.has(K::CAPTION)) {
    r.caption = caption_text(a.at(K::CAPTION).text_view());
    d.set_caption(no, r.caption);
  }
  if (a.has(K::A) || a.has(K::E)) {
    int32_t na = a.has(K::A) ? static_cast<int32_t>(a.at(K::A).value) : r.alpha;
    uint8_t ne = a.has(K::E) ? static_cast<uint8_t>(a.at(K::E).value) : r.enabled;
    bool changed = na != r.alpha || ne != r.enabled;
    r.alpha = na;
    r.enabled = ne;
    if (changed) apply_window_visibility(e, no);
  }
  if (a.has(K::X) || a.has(K::Y)) {
    if (a.has(K::X)) r.x = static_cast<int32_t>(a.at(K::X).value);
    if (a.has(K::Y)) r.y = static_cast<int32_t>(a.at(K::Y).value);
    d.move(no, r.x, r.y);
  }
  if (a.has(K::Z)) {
    int64_t z = a.at(K::Z).value;
    if (no == 0 && z == 3) return report(e, 101310, {kWindow, "Z", z});
    d.set_z_order(no, z_order_of(z));
  }
  if (a.has(K::CLOSEMODE)) {
    int64_t m = a.at(K::CLOSEMODE).value;
    if (no == 0 && (m < 0 || m > 2)) return report(e, 101310, {kWindow, "CLOSEMODE", m});
    r.close_mode = static_cast<uint8_t>(m);
  }
  if (a.has(K::MAXMODE)) r.max_mode = static_cast<uint8_t>(a.at(K::MAXMODE).value);
  if (a.has(K::MINMODE)) r.min_mode = static_cast<uint8_t>(a.at(K::MINMODE).value);
  if (a.has(K::CGID) && show_layer_set(e, no, a.at(K::CGID).text_view()) != 0) return -1;
  if (a.has(K::MENUID)) {
    r.menu_path = std::string(a.at(K::MENUID).text_view());
    if (e.windows.attach_menu_bar && e.windows.attach_menu_bar(e, no, r.menu_path) != 0) return -1;
  }
  if (a.has(K::REGIONID) && shape_window(e, no, a.at(K::REGIONID).text_view()) != 0) return -1;
  if (a.has(K::DRAGID) && set_drag_layer(e, no, a.at(K::DRAGID).text_view()) != 0) return -1;
  if (a.has(K::FULLSCREENBUTTON) && !e.windows.fullscreen) d.set_maximize_box(no, a.at(K::FULLSCREENBUTTON).value != 0);
  if (a.value(K::ACTIVE) == 1) d.raise(no);
  // No movie player exists that could suspend the switch.
  if (a.has(K::FULLSCREEN) && no == 0 && switch_fullscreen(e, a.at(K::FULLSCREEN).value != 0) < 0) return -1;
  if (a.has(K::MINIMIZE)) {
    if (a.at(K::MINIMIZE).value == 1) {
      d.minimize(no);
      set_window_shown(e, no, false);
    } else {
      d.restore(no);
      apply_window_visibility(e, no);
    }
  }
  return 0;
}

int windowend_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  const int no = static_cast<int>(e.args.value(kw::WINDOWEND::NO));
  if (no == 0) return report(e, 101330, {kWindowEnd, "NO", 0});
  // The window is hidden; its record and existence stay.
  set_window_shown(e, no, false);
  return 0;
}

int windowinfo_command(Engine& e) {
  namespace K = kw::WINDOWINFO;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  OutputTarget out = output_target(e, K::LET);
  const int no = static_cast<int>(a.value(K::NO));
  WindowRecord& r = e.windows.at(no);
  platform::Display& d = *e.platform.display;
  if (!r.exists || !d.exists(no)) return store_zero(e, out);
  if (a.has(K::EXIST)) return store_int(e, out, 1);
  if (a.has(K::A)) return store_int(e, out, r.alpha);
  if (a.has(K::E)) return store_int(e, out, r.enabled);
  if (a.has(K::ACTIVE)) return store_int(e, out, r.active ? 1 : 0);
  if (a.has(K::CAPTION)) return out.type() == kVarString ? store_text(e, out, r.caption) : 0;
  if (a.has(K::X)) {
    r.x = d.outer_rect(no).left;
    return store_int(e, out, r.x);
  }
  if (a.has(K::Y)) {
    r.y = d.outer_rect(no).top;
    return store_int(e, out, r.y);
  }
  if (a.has(K::SX)) return store_int(e, out, r.sx);
  if (a.has(K::SY)) return store_int(e, out, r.sy);
  if (a.has(K::FULLSCREEN)) return store_int(e, out, e.windows.fullscreen ? 1 : 0);
  if (a.has(K::MINIMIZE)) return store_int(e, out, d.is_minimized(no) ? 1 : 0);
  return 0;  // Z, MAXMODE, MINMODE and CLOSEMODE write nothing
}

}  // namespace nv::display
