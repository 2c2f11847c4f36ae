// SAVE, LOAD and SAVEEND: variables and image layers stored as numbered
// records of data files in the save folder (the format is data/save_file.h).
//
// SAVE with DNO builds a record into its pending slot; SAVE with FILE writes
// every pending slot into that file at once, replacing the file atomically;
// the slots are emptied only when the write succeeded. LOAD checks the whole
// record before it changes anything, so a failed LOAD leaves the target
// variable or layer as it was.
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/engine.h"
#include "core/error_report.h"
#include "data/named_variable.h"
#include "data/save_commands.h"
#include "data/save_names.h"
#include "data/save_payload.h"
#include "data/save_state.h"
#include "formats/command_table.h"
#include "graphics/graphics_state.h"
#include "graphics/layer_alloc.h"
#include "graphics/layer_tree.h"
#include "platform/encoding.h"
#include "platform/user_folders.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/script_tables.h"
#include "values/system_vars.h"

namespace nv::data {

namespace {

constexpr const char* kCompressErrorText = "Compress Error.";
constexpr const char* kLoadMemoryText = "[Load]メモリ不足エラーです。";

std::string_view text_of(const ArgSlots& a, int kw) { return a.has(kw) ? a.at(kw).text_view() : std::string_view(); }

std::string_view declaration_name(int8_t type) {
  return type == kVarInt ? "INT" : type == kVarFloat ? "FLT" : "STR";
}

// The file system data files live in: the title folder, or the user's own
// folder for the title when the title folder cannot be written.
const platform::FileSystem& save_files(Engine& e) {
  if (e.title_folder_writable) return *e.platform.files;
  if (!e.save.user_files) {
    std::string folder = platform::user_title_folder(e.platform.files->root());
    if (folder.empty()) return *e.platform.files;  // nowhere else: the write reports its error
    e.save.user_files = std::make_unique<platform::FileSystem>(folder);
  }
  return *e.save.user_files;
}

// The data file's path from the FILE text, or false after reporting
// 102160 or 102150.
bool data_file_path(Engine& e, std::string_view command, std::string_view text, std::string& name,
                    std::string& path) {
  if (uint32_t err = save::data_file_name(text, name); err != save::kOk) {
    report(e, err, {command, text});
    return false;
  }
  path = e.save.folder + name;
  return true;
}

// Reports an error number of the save format with the arguments its text takes.
int report_save_error(Engine& e, uint32_t err, std::string_view command) {
  switch (err) {
    case save::kErrArrayTooLarge: return report(e, err, {int64_t(save::kMaxVariableData)});
    case save::kErrNoRecord: return report(e, err, {command, "DNO"});
    default: return report(e, err);
  }
}

// The node a layer ID names, or null (missing set reported: `failed`).
gfx::LayerNode* named_layer(Engine& e, std::string_view id, NodePath& path, bool& failed) {
  failed = !gfx::resolve_layer_path(e, id, path);
  if (failed) return nullptr;
  bool missing_set = false;
  gfx::LayerNode* node = gfx::find_layer(e, path, true, &missing_set);
  failed = missing_set;
  return node;
}

// ---- SAVE ----

// The payload of the variable SET names: one element, or the whole variable
// when SET names it bare.
uint32_t variable_payload(Engine& e, const NamedVariable& v, bool whole, std::vector<uint8_t>& out) {
  const Variable& var = *v.var;
  std::span<const int32_t> dims = whole ? std::span<const int32_t>(var.dims.data(), size_t(var.dim_count))
                                        : std::span<const int32_t>();
  const size_t count = whole ? static_cast<size_t>(var.count) : 1;
  const int64_t first = whole ? 0 : v.element;
  const bool system = v.number < kFirstUserVariable;
  switch (var.type) {
    case kVarInt: {
      if (whole && !system && var.ints.size() == count) return save::encode_integers(dims, var.ints, out);
      std::vector<int64_t> values(count);
      for (size_t k = 0; k < count; ++k) values[k] = named_int(e, v, first + int64_t(k));
      return save::encode_integers(dims, values, out);
    }
    case kVarFloat: {
      if (whole && !system && var.floats.size() == count) return save::encode_floats(dims, var.floats, out);
      std::vector<double> values(count);
      for (size_t k = 0; k < count; ++k) values[k] = named_float(e, v, first + int64_t(k));
      return save::encode_floats(dims, values, out);
    }
    default:
      return save::encode_texts(dims, count, [&](size_t k) { return named_text(v, first + int64_t(k)); }, out);
  }
}

// Builds the record of SAVE's DNO into its slot. Returns 0 or -1 after a report.
int fill_slot(Engine& e, uint32_t dno, const gfx::LayerNode* layer) {
  namespace K = kw::SAVE;
  std::vector<uint8_t> payload;
  save::Kind kind = save::kVariableData;
  uint32_t err = save::kOk;
  if (layer) {
    const gfx::Layer& l = *layer->layer;
    kind = save::kImageData;
    std::span<const uint8_t> pixels(reinterpret_cast<const uint8_t*>(l.pixels.data()), l.pixels.size() * 4);
    err = save::encode_image({l.sx, l.sy, l.alpha}, pixels, payload);
  } else {
    NamedVariable v = named_variable(e, K::SET);
    if (!v.var || v.type() == kVarNone) return report(e, 101140);
    err = variable_payload(e, v, e.args.at(K::SET).var_whole, payload);
  }
  if (err != save::kOk) return report_save_error(e, err, "SAVE");
  std::vector<uint8_t> record;
  if (save::make_record(dno, kind, payload, record) != save::kOk) {
    gfx::show_layer_box(e, kCompressErrorText);
    return -1;
  }
  e.save.slots.records[dno - 1] = std::move(record);
  return 0;
}

// ---- LOAD ----

int load_layer(Engine& e, std::string_view id, const NodePath& path, gfx::LayerNode* old, std::span<const uint8_t> payload) {
  save::ImagePayload image;
  if (uint32_t err = save::decode_image_payload(payload, image); err != save::kOk) return report(e, err);
  if (path.is_set) return report(e, 101280, {"LOAD"});
  // The new pixels exist before the old layer goes.
  std::vector<uint32_t> pixels;
  if (!gfx::allocate_pixels(e, pixels, image.info.width, image.info.height, 0, id)) return -1;
  std::memcpy(pixels.data(), image.pixels.data(), image.pixels.size());
  if (old) {
    gfx::mark_layer_dirty(*old);
    gfx::release_layer_node(e, *old);
  }
  gfx::LayerNode* node = gfx::create_layer_node(e, path, 1);
  if (!node) return -1;
  gfx::give_fresh_layer(*node);
  gfx::Layer& l = *node->layer;
  l.sx = image.info.width;
  l.sy = image.info.height;
  l.alpha = image.info.alpha;
  l.pixels = std::move(pixels);
  gfx::mark_layer_dirty(*node);
  e.graphics.screen_changed = true;
  return 0;
}

int load_variable(Engine& e, std::span<const uint8_t> payload) {
  namespace K = kw::LOAD;
  NamedVariable target = named_variable(e, K::LET);
  if (!target.var || target.type() == kVarNone) return report(e, 101140);
  if (!target.user()) return report(e, 101150);
  save::VariablePayload stored;
  if (uint32_t err = save::decode_variable_payload(payload, stored); err != save::kOk)
    return report_save_error(e, err, "LOAD");
  Variable& var = *target.var;
  if (stored.type != static_cast<uint32_t>(var.type)) return report(e, save::kErrTypeMismatch, {"LOAD", declaration_name(var.type)});

  if (!e.args.at(K::LET).var_whole) {
    if (stored.dim_count != 0) return report(e, save::kErrDimCount);
    switch (var.type) {
      case kVarInt: write_int(var, target.element, stored.integer_at(0)); return 0;
      case kVarFloat: write_float(var, target.element, stored.float_at(0)); return 0;
      default: return write_text(e, var, target.element, stored.texts[0]);
    }
  }
  if (stored.dim_count != static_cast<uint32_t>(var.dim_count)) return report(e, save::kErrDimCount);
  for (uint32_t d = 0; d < stored.dim_count; ++d)
    if (stored.dims[d] != var.dims[d]) return report(e, save::kErrDimSizes);
  for (size_t k = 0; k < stored.count; ++k) {
    switch (var.type) {
      case kVarInt: var.ints[k] = stored.integer_at(k); break;
      case kVarFloat: var.floats[k] = stored.float_at(k); break;
      default: store_text(var.texts[k], stored.texts[k]); break;
    }
  }
  return 0;
}

void read_save_folder(Engine& e, uint32_t, int64_t, std::string& out) { out = e.save.folder; }
int64_t read_read_only(Engine& e, uint32_t, int64_t) { return e.title_folder_writable ? 0 : 1; }

}  // namespace

void add_save_variables(SystemVarTable& t) {
  t.texts[57] = read_save_folder;
  t.ints[9] = read_read_only;
}

int save_command(Engine& e) {
  namespace K = kw::SAVE;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  const gfx::LayerNode* layer = nullptr;
  if (a.has(K::ID)) {
    NodePath path;
    bool failed = false;
    gfx::LayerNode* node = named_layer(e, text_of(a, K::ID), path, failed);
    if (failed) return -1;
    if (!node || !node->layer) return report(e, 101250, {"SAVE", text_of(a, K::ID)});
    layer = node;
  }
  std::string name, path;
  if (a.has(K::FILE) && !data_file_path(e, "SAVE", text_of(a, K::FILE), name, path)) return -1;
  if (a.has(K::DNO)) {
    const auto dno = static_cast<uint32_t>(a.value(K::DNO));
    if (e.save.slots.filled(dno)) return report(e, save::kErrSlotFilled, {"SAVE", "DNO", int64_t(dno)});
    if (fill_slot(e, dno, layer) != 0) return -1;
  }
  if (!a.has(K::FILE)) return 0;

  save::WriteResult w = save::write_pending(e.save.slots, save_files(e), e.save.folder, path);
  if (w.code == save::kOk) return 0;
  if (w.code != save::kErrCannotWrite) return report(e, w.code);
  // The number and text as the title's error-number texts give them, else
  // the host's own.
  int number = save::message_error_number(w.error);
  std::string text;
  if (number >= 0 && size_t(number) < e.scripts.commands.errno_texts.size())
    text = std::string(e.scripts.commands.errno_texts[size_t(number)]);
  if (number < 0 || text.empty() || text == " ") {
    number = number < 0 ? w.error : number;
    text = platform::utf8_to_sjis(w.text);
  }
  return report(e, save::kErrCannotWrite, {"SAVE", name, int64_t(number), text});
}

int saveend_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  e.save.slots.clear();
  return 0;
}

int load_command(Engine& e) {
  namespace K = kw::LOAD;
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  NodePath layer_path;
  gfx::LayerNode* old_layer = nullptr;
  const bool to_layer = a.has(K::ID);
  if (to_layer) {
    bool failed = false;
    old_layer = named_layer(e, text_of(a, K::ID), layer_path, failed);
    if (failed) return -1;
  }
  std::string name, path;
  if (!data_file_path(e, "LOAD", text_of(a, K::FILE), name, path)) return -1;
  if (!a.has(K::DNO)) return report(e, save::kErrNoRecord, {"LOAD", "DNO"});

  save::RecordHead head;
  std::vector<uint8_t> stream;
  uint32_t err = save::read_record(save_files(e), path, static_cast<uint32_t>(a.value(K::DNO)), head, stream);
  if (err == save::kErrNoFile) return report(e, err, {"LOAD", "FILE", name});
  if (err != save::kOk) return report_save_error(e, err, "LOAD");
  if (to_layer && head.kind != save::kImageData) return report(e, save::kErrNotImage);
  if (!to_layer && head.kind != save::kVariableData) return report(e, save::kErrNotVariable);

  std::vector<uint8_t> payload;
  try {
    err = save::inflate_record(head, stream, payload);
  } catch (const std::bad_alloc&) {
    gfx::show_layer_box(e, platform::utf8_to_sjis(kLoadMemoryText));
    return -1;
  }
  if (err != save::kOk) return report_save_error(e, err, "LOAD");
  stream = std::vector<uint8_t>();
  return to_layer ? load_layer(e, text_of(a, K::ID), layer_path, old_layer, payload) : load_variable(e, payload);
}

}  // namespace nv::data
