#include "formats/sjis_text.h"
#include "graphics/layer_tree.h"
#include "core/engine.h"
#include "display/windows_state.h"
#include "graphics/graphics_state.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "input/input_commands.h"
#include "input/input_state.h"
#include "input/menu_commands.h"
#include "platform/encoding.h"
#include "runtime/arg_eval.h"
#include "formats/command_table.h"
#include "core/tree_path.h"

namespace nv::input {

namespace {

constexpr size_t kTrayTipMax = 63;  // bytes of the tip buffer before its terminator
constexpr const char* kTraySizeMessageUtf8 = "レイヤサイズが 16x16 ではありません。";

std::string_view text_of(const ArgSlots& a, int kw) { return a.has(kw) ? a.at(kw).text_view() : std::string_view(); }

// The icon a 16 x 16 layer makes. A layer without meaningful alpha shows
// opaque (its alpha bytes are whatever its canvas was cleared to).
bool icon_from_layer(Engine& e, const gfx::Layer& l, platform::TrayIcon& icon) {
  if (l.sx != platform::kTrayIconSize || l.sy != platform::kTrayIconSize ||
      l.pixels.size() != size_t(platform::kTrayIconSize * platform::kTrayIconSize)) {
    platform::MessageBoxSpec box;
    box.caption = e.config.caption;
    box.text = platform::utf8_to_sjis(kTraySizeMessageUtf8);
    e.input.ui.run([&] { e.platform.dialogs->message_box(box); });
    return false;
  }
  icon.pixels = l.pixels;
  if (!l.alpha)
    for (uint32_t& p : icon.pixels) p |= 0xFF000000u;
  return true;
}

}  // namespace

int tray_command(Engine& e) {
  namespace K = kw::TRAY;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  TrayState& tray = e.input.tray;
  const gfx::LayerNode* layer = nullptr;
  if (a.has(K::ID)) {
    NodePath path;
    if (!gfx::resolve_layer_path(e, a.at(K::ID).text_view(), path)) return -1;
    bool missing_set = false;
    layer = gfx::find_layer(e, path, true, &missing_set);
    if (missing_set) return -1;
    if (!layer || !layer->layer) return 0;  // no such layer: nothing more is done
  }
  if (a.has(K::NAME)) tray.tip = std::string(sjis::prefix_fitting(a.at(K::NAME).text_view(), kTrayTipMax));
  if (a.has(K::E)) {
    if (a.at(K::E).value == 1) {
      platform::TrayIcon icon;
      if (!layer || !icon_from_layer(e, *layer->layer, icon)) icon = platform::program_tray_icon();
      icon.tip = tray.tip;
      e.input.ui.run([&] { e.platform.tray->show(icon); });
      tray.shown = true;
    } else if (tray.shown) {
      e.input.ui.run([&] { e.platform.tray->hide(); });
      tray.shown = false;
    }
  }
  if (a.has(K::MENUID)) {
    NodePath path;
    if (!resolve_node_path(e, text_of(a, K::MENUID), e.input.menus.base_path, path)) return -1;
    path.is_set = true;
    auto* set = static_cast<MenuNode*>(find_node_by_path(e, e.input.menus.root, path, false));
    tray.menu_path = set ? path.path : std::string();
    bool overflow = false;
    if (set) e.input.built[kTrayMenu] = build_popup_root(*set, overflow);
    else e.input.built[kTrayMenu].clear();
  }
  return 0;
}

}  // namespace nv::input
