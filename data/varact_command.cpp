// VARACT: type conversion, substring copy and cut, width and case
// conversion, and resize, insert and delete of one-dimensional arrays. SET
// names the source variable, LET the destination.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "core/engine.h"
#include "core/error_report.h"
#include "data/named_variable.h"
#include "data/variable_commands.h"
#include "formats/command_table.h"
#include "formats/sjis_text.h"
#include "formats/text_width.h"
#include "platform/encoding.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/output_target.h"

namespace nv::data {

namespace {

namespace K = kw::VARACT;

int show_plain(Engine& e, const char* utf8_text) {
  show_system_box(e, platform::utf8_to_sjis("エラー"), platform::utf8_to_sjis(utf8_text));
  return -1;
}

// TYPE: text to a number or a number to text; any other pair is refused.
int convert_type(Engine& e, const NamedVariable& src, const OutputTarget& dst) {
  int8_t s = src.type(), d = dst.type();
  if ((s != kVarString && d != kVarString) || s == d) return report(e, 108200);
  if (s == kVarInt) return store_text(e, dst, std::to_string(named_int(e, src, src.element)));
  if (s == kVarFloat) {
    char buf[512];
    std::snprintf(buf, sizeof buf, "%f", named_float(e, src, src.element));
    return store_text(e, dst, buf);
  }
  // Text to number: only digits and "." are taken.
  std::string text(named_text(src, src.element));
  bool has_point = false;
  for (char c : text) {
    if (sjis::is_lead_byte(c) || !((c >= '0' && c <= '9') || c == '.')) return report(e, 108210);
    has_point = has_point || c == '.';
  }
  if (has_point) return store_float(e, dst, std::strtod(text.c_str(), nullptr));
  return store_int(e, dst, std::strtoll(text.c_str(), nullptr, 10));
}

// The byte range of LENGTH characters from character POS (1-based) of
// `text`. Skipping onto the end of the text fails with `pos_error`, taking
// past it with `length_error`.
int char_range(Engine& e, std::string_view text, size_t& first, size_t& last, uint32_t pos_error, uint32_t length_error) {
  const ArgSlots& a = e.args;
  int64_t pos = a.value(K::POS, 1), length = a.value(K::LENGTH, 0);
  size_t p = 0;
  for (int64_t i = 1; i < pos; ++i) {
    p = sjis::next_char(text, p);
    if (p >= text.size()) return report(e, pos_error);
  }
  first = p;
  for (int64_t i = 0; i < length; ++i) {
    if (p >= text.size()) return report(e, length_error);
    p = sjis::next_char(text, p);
  }
  last = p;
  return 0;
}

// COPY and CUT: the result goes to LET, else back into the SET element.
int copy_or_cut(Engine& e, const NamedVariable& src, const OutputTarget& dst, bool cut) {
  if (src.type() != kVarString || (e.args.has(K::LET) && dst.type() != kVarString)) return report(e, 108220);
  std::string text(named_text(src, src.element));
  size_t first = 0, last = 0;
  if (char_range(e, text, first, last, cut ? 120110 : 120010, cut ? 120120 : 120020) != 0) return -1;
  std::string result = cut ? text.substr(0, first) + text.substr(last) : text.substr(first, last - first);
  return store_text(e, e.args.has(K::LET) ? dst : output_target(e, K::SET), result);
}

// HANTOZEN, ZENTOHAN, UPPER and LOWER: source text to LET.
int convert_text(Engine& e, const NamedVariable& src, const OutputTarget& dst, int keyword) {
  if (src.type() != kVarString || (e.args.has(K::LET) && dst.type() != kVarString)) return report(e, 108220);
  if (!e.args.has(K::LET)) return report(e, 101140);
  std::string_view text = named_text(src, src.element);
  std::string result;
  switch (keyword) {
    case K::HANTOZEN: result = sjis::to_full_width(text); break;
    case K::ZENTOHAN: result = sjis::to_half_width(text); break;
    case K::UPPER: result.assign(text); sjis::to_upper(result); break;
    default: result.assign(text); sjis::to_lower(result); break;
  }
  return store_text(e, dst, result);
}

bool one_dimension(const NamedVariable& v) { return v.var && v.var->dim_count == 1; }

// The size combined with DIMSIZE by the keyword's operator (64-bit wrap;
// dividing by zero keeps the size).
int64_t combined_size(int64_t size, const ArgSlot& s) {
  uint64_t a = static_cast<uint64_t>(size), b = static_cast<uint64_t>(s.value);
  switch (s.assign_op) {
    case 1: return static_cast<int64_t>(a + b);
    case 2: return static_cast<int64_t>(a - b);
    case 3: return static_cast<int64_t>(a * b);
    case 4: return s.value == 0 ? size : (s.value == -1 ? static_cast<int64_t>(0 - a) : size / s.value);
    default: return s.value;
  }
}

int resize(Engine& e, const NamedVariable& v) {
  if (!one_dimension(v)) return show_plain(e, "配列サイズを変更しようとしましたが、この変数は１次元配列ではありません。");
  int64_t size = combined_size(v.var->dims[0], e.args.at(K::DIMSIZE));
  if (size <= 0) return show_plain(e, "変更後の配列サイズが不正です。");
  if (size > kMaxElements) return report(e, 101100, {kMaxElements});
  if (size == v.var->dims[0]) return 0;
  return resize_first_dimension(e, v.number, static_cast<int32_t>(size));
}

// Moves element `from` into `to` (same variable, same type).
void move_element(Variable& v, size_t to, size_t from) {
  switch (v.type) {
    case kVarInt: v.ints[to] = v.ints[from]; break;
    case kVarFloat: v.floats[to] = v.floats[from]; break;
    case kVarString: std::swap(v.texts[to], v.texts[from]); break;
    default: break;
  }
}

void clear_element(Variable& v, size_t k) {
  switch (v.type) {
    case kVarInt: v.ints[k] = 0; break;
    case kVarFloat: v.floats[k] = 0.0; break;
    case kVarString: store_text(v.texts[k], {}); break;
    default: break;
  }
}

// The element count a variable's storage really holds.
size_t stored_count(const Variable& v) {
  switch (v.type) {
    case kVarInt: return v.ints.size();
    case kVarFloat: return v.floats.size();
    case kVarString: return v.texts.size();
    default: return 0;
  }
}

// PUSH: elements from k on move up one place (the last one is lost) and k
// becomes empty. POP: elements after k move down one place and the last
// becomes empty. A position beyond the array only clears the last element.
int push_or_pop(Engine& e, const NamedVariable& v, bool push) {
  if (!one_dimension(v))
    return show_plain(e, push ? "配列挿入処理をしようとしましたが、この変数は１次元配列ではありません。"
                              : "配列削除処理をしようとしましたが、この変数は１次元配列ではありません。");
  int64_t k = e.args.at(push ? K::PUSH : K::POP).value;
  if (k < 0) return report(e, 107010);
  size_t n = stored_count(*v.var);
  if (n == 0) return 0;
  size_t last = n - 1;
  size_t pos = static_cast<uint64_t>(k) < last ? static_cast<size_t>(k) : last;
  if (push) {
    for (size_t i = last; i > pos; --i) move_element(*v.var, i, i - 1);
    clear_element(*v.var, pos);
  } else {
    for (size_t i = pos; i < last; ++i) move_element(*v.var, i, i + 1);
    clear_element(*v.var, last);
  }
  return 0;
}

}  // namespace

int varact_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  NamedVariable src = named_variable(e, K::SET);
  OutputTarget dst = output_target(e, K::LET);
  if (a.has(K::TYPE)) return convert_type(e, src, dst);
  if (a.has(K::COPY)) return copy_or_cut(e, src, dst, false);
  if (a.has(K::CUT)) return copy_or_cut(e, src, dst, true);
  for (int k : {K::HANTOZEN, K::ZENTOHAN, K::UPPER, K::LOWER})
    if (a.has(k) && convert_text(e, src, dst, k) != 0) return -1;
  if (a.has(K::DIMSIZE) && resize(e, src) != 0) return -1;
  if (a.has(K::PUSH) && push_or_pop(e, src, true) != 0) return -1;
  if (a.has(K::POP) && push_or_pop(e, src, false) != 0) return -1;
  return 0;
}

}  // namespace nv::data
