#include "runtime/arg_eval.h"

#include "core/engine.h"
#include "core/error_report.h"
#include "runtime/arg_slots.h"
#include "runtime/dispatch.h"
#include "runtime/script_tables.h"
#include "values/evaluator.h"
#include "values/evaluator_state.h"
#include "values/script_expressions.h"

namespace nv {

namespace {

struct Range {
  int64_t min, max;
  uint32_t code;  // error when outside
};

// Codes 3 to 21, 24 and 25 compare the low 32 bits, unsigned.
int range_check(Engine& e, int64_t value, Range r, std::string_view cmd, std::string_view kw) {
  uint32_t low = static_cast<uint32_t>(value);
  if (low >= r.min && low <= r.max) return 0;
  return report(e, r.code, {cmd, kw, value, r.min, r.max});
}

constexpr Range kRanges[] = {
    {0, 0, 0},        {0, 0, 0},        {0, 0, 0},        {0, 1, 101000},   {0, 2, 101000},
    {0, 3, 101000},   {1, 3, 101000},   {0, 4, 101000},   {1, 8, 101000},   {0, 15, 101000},
    {0, 18, 101000},  {0, 256, 101000}, {1, 256, 101000}, {0, 512, 101000}, {0, 1024, 101000},
    {1, 1024, 101000}, {128, 1024, 101000}, {0, 2048, 101000}, {1, 2048, 101000}, {16, 2048, 101000},
    {128, 2048, 101000}, {1, 8192, 101000},
};

// The main window's configured screen size; 0 by 0 configures the desktop size.
platform::DesktopSize screen_size(Engine& e) {
  if (e.config.screen_width > 0 && e.config.screen_height > 0)
    return {e.config.screen_width, e.config.screen_height};
  return e.platform.system->desktop();
}

int evaluate_all(Engine& e, bool gosub) {
  DispatchState& d = e.dispatch;
  ArgSlots& a = e.args;
  a.map.fill(0);
  const Task* t = d.task;
  if (!t || !t->image || d.arg_count == 0) return 0;
  const ScriptImage& img = *t->image;
  const CommandTable& ct = e.scripts.commands;
  if (d.command >= ct.defs.size()) return report(e, 900000);
  const CommandDef& def = ct.defs[d.command];
  uint32_t instr = static_cast<uint32_t>(d.instruction);
  for (int i = 1; i <= d.arg_count; ++i) {
    ArgRecordView rec = img.record(instr, i - 1);
    ArgSlot& s = a.slot[static_cast<size_t>(i)];
    s.keyword = rec.keyword();
    s.selector = rec.selector();
    s.assign_op = rec.assign_op();
    s.size = rec.size();
    s.offset = rec.offset();
    a.map[s.keyword] = static_cast<uint8_t>(i);
    if (s.keyword >= def.types.size()) return report(e, 900000);
    uint8_t type = def.types[s.keyword];
    if (type == kArgHandler) continue;
    bool ok = true;
    std::span<const uint8_t> x = argument_expression(e, s, ok);
    if (!ok) return -1;
    if (type == kArgRaw) {
      s.raw = x.data();
      continue;
    }
    if (type == kArgInt) {
      s.value = eval_script_int(e, x, s.selector);
    } else {
      if (!s.text) s.text.reset(new char[kTextBufferSize]);
      s.text[0] = '\0';
      s.text_length = static_cast<uint32_t>(eval_string(e, x, gosub ? 3 : s.selector, s.text.get()));
    }
    const VarRef& ref = e.eval.ref;
    s.var_number = ref.number;
    s.var_element = static_cast<int32_t>(ref.element);
    s.var_whole = ref.whole;
    // Only integer arguments carry a checked value; a string argument leaves
    // the integer field as an earlier instruction left it.
    if (type == kArgInt && def.checks[s.keyword] != 0 &&
        check_argument(e, def.checks[s.keyword], s.value, def.name, def.keywords[s.keyword]) != 0)
      return -1;
  }
  return 0;
}

}  // namespace

std::span<const uint8_t> argument_expression(Engine& e, const ArgSlot& s, bool& ok) {
  const ScriptImage* img = e.dispatch.task ? e.dispatch.task->image : nullptr;
  ok = img && s.offset <= img->resources.size() && s.size <= img->resources.size() - s.offset;
  if (!ok) {
    report(e, 900000);
    return {};
  }
  return img->resources.subspan(s.offset, s.size);
}

int check_argument(Engine& e, uint8_t code, int64_t value, std::string_view cmd, std::string_view kw) {
  switch (code) {
    case 0: return 0;
    case 1:
    case 2: {
      int64_t min = code == 1 ? 0 : 1;
      if (value >= min) return 0;
      return report(e, 101010, {cmd, kw, value, min});
    }
    case 22: {
      int32_t low = static_cast<int32_t>(value);
      if (low >= -1 && low <= 0xFFFFFF) return 0;
      return report(e, 101020, {cmd, kw, value});
    }
    case 23: {
      uint32_t low = static_cast<uint32_t>(value);
      if (low <= 0xFFFFFF) return 0;
      return report(e, 101030, {cmd, kw, value});
    }
    case 24: return range_check(e, value, {0, int64_t(screen_size(e).width) - 1, 101000}, cmd, kw);
    case 25: return range_check(e, value, {0, int64_t(screen_size(e).height) - 1, 101000}, cmd, kw);
    case 26: {
      int32_t low = static_cast<int32_t>(value);
      if (low < 0) return report(e, 101220, {cmd, kw, value});
      if (low > 3) return report(e, 101210, {cmd, kw, value, 3});
      return 0;
    }
    default:
      if (code < std::size(kRanges)) return range_check(e, value, kRanges[code], cmd, kw);
      return report(e, 900000);
  }
}

int evaluate_arguments(Engine& e) { return evaluate_all(e, false); }
int evaluate_arguments_gosub(Engine& e) { return evaluate_all(e, true); }

}  // namespace nv
