// Compiled scripts nvbin\nvt%05d.nbn ("NVTB"): a 32-byte header, then the
// code, argument, resource and line areas, each XOR-scrambled with the
// script key. A script loads on first use: descrambled in place, checked,
// its argument records indexed and its constant jump targets resolved.
#include <cstdio>
#include <new>

#include "core/engine.h"
#include "core/error_report.h"
#include "formats/byte_reader.h"
#include "formats/command_table.h"
#include "formats/file_header.h"
#include "resources/file_loader.h"
#include "runtime/script_tables.h"
#include "values/evaluator.h"
#include "values/evaluator_state.h"
#include "values/script_expressions.h"
#include "values/variable_file.h"

namespace nv {

namespace {

constexpr size_t kScriptHeader = 32;

// Jump targets of IF, ELSE and LOOP: the size fields of these records are
// instruction indexes (records counted from 0).
bool targets_valid(const ScriptImage& img, uint32_t i) {
  uint8_t cmd = img.command_of(i);
  int argc = img.arg_count_of(i);
  auto target_ok = [&](int k) { return img.record(i, k).size() <= img.count; };
  switch (cmd) {
    case cmd::IF: return argc >= 3 && target_ok(1) && target_ok(2);
    case cmd::ELSE: return argc == 0 || (argc >= 2 && target_ok(1));
    case cmd::LOOP: return argc >= 2 && target_ok(1);
    default: return true;
  }
}

// The expression of record `k` of instruction `i`, when it lies inside the
// resource area.
bool record_expression(const ScriptImage& img, uint32_t i, int k, std::span<const uint8_t>& out) {
  ArgRecordView r = img.record(i, k);
  uint32_t off = r.offset(), size = r.size();
  if (off > img.resources.size() || size > img.resources.size() - off) return false;
  out = img.resources.subspan(off, size);
  return true;
}

// Evaluates a label-name expression in constant-only mode; the label index,
// or -1 when the name reads a variable, fails or is no label.
int32_t constant_label(Engine& e, std::span<const uint8_t> x, char* buf) {
  buf[0] = '\0';
  size_t n = eval_string(e, x, 3, buf);
  if (e.eval.not_constant || e.eval.failed) return -1;
  return find_label(e.scripts.labels, std::string_view(buf, n));
}

void resolve_constant_labels(Engine& e, ScriptImage& img) {
  char buf[kTextBufferSize];
  e.eval.constant_only = true;
  for (uint32_t i = 0; i < img.count; ++i) {
    uint8_t cmd = img.command_of(i);
    int argc = img.arg_count_of(i);
    std::span<const uint8_t> x;
    if (cmd == cmd::GO && argc >= 1) {
      if (!record_expression(img, i, 0, x)) continue;
      int32_t label = constant_label(e, x, buf);
      if (label >= 0) store_u32(img.arg_start[i] + 4, static_cast<uint32_t>(label) + kResolvedLabel);
    } else if (cmd == cmd::GOSUB) {
      for (int k = 0; k < argc; ++k) {
        uint8_t* rec = img.arg_start[i] + kArgRecordSize * size_t(k);
        if (rec[0] != 0) continue;
        store_u16(rec + 2, 0);
        if (!record_expression(img, i, k, x)) continue;
        int32_t label = constant_label(e, x, buf);
        // Index 0 and indexes beyond 16 bits stay resolved by name at run time.
        if (label > 0 && label <= 0xFFFF) store_u16(rec + 2, static_cast<uint16_t>(label));
      }
    }
  }
  e.eval.constant_only = false;
  e.eval.not_constant = false;
}

}  // namespace

int32_t ScriptImage::line_of(uint32_t i) const {
  if (i >= count || lines.size() / 4 <= i) return 1;
  return static_cast<int32_t>(load_u32(lines.data() + 4 * size_t(i)));
}

std::string script_file_name(uint32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "nvbin\\nvt%05u.nbn", number);
  return name;
}

int install_script(Engine& e, uint32_t number, std::vector<uint8_t> block) {
  ScriptTables& s = e.scripts;
  if (number >= s.images.size()) return report(e, 900000);
  ScriptImage& img = s.images[number];
  img.created = true;
  // The block replaced here may hold decoded expressions' addresses.
  clear_script_expressions(e);
  img.fast = nullptr;
  img.decoded.reset();
  auto bad = [&] {
    img.count = 0;
    img.arg_start.clear();
    return report(e, 900000);
  };
  if (!has_magic(block, "NVTB") || block.size() < kScriptHeader) return bad();
  const uint8_t* h = block.data();
  uint64_t n = load_u32(h + 8);
  uint64_t sizes[4] = {load_u32(h + 12), load_u32(h + 16), load_u32(h + 20), load_u32(h + 24)};
  uint64_t total = sizes[0] + sizes[1] + sizes[2] + sizes[3];
  if (total > block.size() - kScriptHeader || sizes[0] < 4 * n || sizes[3] < 4 * n) return bad();

  img.block = std::move(block);
  uint8_t* p = img.block.data() + kScriptHeader;
  std::span<uint8_t>* areas[4] = {&img.code, &img.args, &img.resources, &img.lines};
  for (int k = 0; k < 4; ++k) {
    *areas[k] = std::span<uint8_t>(p, static_cast<size_t>(sizes[k]));
    scramble(p, static_cast<size_t>(sizes[k]), s.key);
    p += sizes[k];
  }
  img.count = static_cast<uint32_t>(n);

  // Argument records, and every field later steps index with.
  img.arg_start.resize(img.count);
  size_t next = 0;
  size_t commands = s.commands.loaded ? s.commands.defs.size() : size_t(kHandlerCount);
  for (uint32_t i = 0; i < img.count; ++i) {
    uint8_t cmd = img.command_of(i);
    uint8_t argc = img.arg_count_of(i);
    if (cmd >= kHandlerCount || cmd >= commands || argc > kMaxArguments) return bad();
    if (argc * kArgRecordSize > img.args.size() - next) return bad();
    img.arg_start[i] = img.args.data() + next;
    for (int k = 0; k < argc; ++k)
      if (img.arg_start[i][kArgRecordSize * size_t(k)] >= kKeywordLimit) return bad();
    next += argc * kArgRecordSize;
  }
  for (uint32_t i = 0; i < img.count; ++i)
    if (!targets_valid(img, i)) return bad();
  for (const Label& l : s.labels.labels)
    if (l.script == number && static_cast<uint32_t>(l.instruction) > img.count) return bad();

  resolve_constant_labels(e, img);
  // A pre-resolved GO target must name a label that exists.
  for (uint32_t i = 0; i < img.count; ++i) {
    if (img.command_of(i) != cmd::GO || img.arg_count_of(i) == 0) continue;
    uint32_t size = img.record(i, 0).size();
    if (size >= kResolvedLabel && (size & (kResolvedLabel - 1)) >= s.labels.labels.size()) return bad();
  }
  img.valid = true;
  return apply_variable_records(e, static_cast<int32_t>(number));
}

int ensure_script_loaded(Engine& e, uint32_t number) {
  ScriptTables& s = e.scripts;
  if (number >= s.images.size()) return report(e, 900000);
  ScriptImage& img = s.images[number];
  if (img.created) return 0;
  img.created = true;
  res::FileRequest req;
  if (res::load_file(e, script_file_name(number), req) != res::kLoadOk) return 0;
  try {
    install_script(e, number, std::move(req.data));
  } catch (const std::bad_alloc&) {
    report(e, 100010);
  }
  return 0;
}

}  // namespace nv
