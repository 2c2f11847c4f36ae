// VARINFO: type, text kind, shape, text length and element search of the
// variable SET names; the first keyword given decides, LET receives it.
#include "core/engine.h"
#include "core/error_report.h"
#include "data/named_variable.h"
#include "data/variable_commands.h"
#include "formats/command_table.h"
#include "formats/sjis_text.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/output_target.h"

namespace nv::data {

namespace {

namespace K = kw::VARINFO;

// SEARCH: the first element from NO on, within the first dimension, that
// equals the search value of the array's type; -1 when there is none.
int64_t search(Engine& e, const NamedVariable& v) {
  const ArgSlots& a = e.args;
  if (!v.var) return -1;
  int64_t size = v.var->dims[0];
  int64_t from = a.value(K::NO, 0);
  if (from < 0) from = 0;
  for (int64_t k = from; k < size; ++k) {
    switch (v.type()) {
      case kVarInt:
        if (named_int(e, v, k) == a.value(K::INT)) return k;
        break;
      case kVarFloat:
        if (named_float(e, v, k) == static_cast<double>(a.value(K::FLT))) return k;
        break;
      case kVarString:
        if (named_text(v, k) == (a.has(K::STR) ? a.at(K::STR).text_view() : std::string_view())) return k;
        break;
      default: return -1;
    }
  }
  return -1;
}

}  // namespace

int varinfo_command(Engine& e) {
  if (evaluate_arguments(e) != 0) return -1;
  const ArgSlots& a = e.args;
  NamedVariable v = named_variable(e, K::SET);
  OutputTarget out = output_target(e, K::LET);
  const Variable* var = v.var;
  if (a.has(K::TYPE)) return store_int(e, out, v.type());
  if (a.has(K::STRTYPE)) {
    std::string_view text = named_text(v, v.element);
    if (text.empty()) return report(e, 101450, {"VARINFO", "STRTYPE"});
    return store_int(e, out, sjis::is_lead_byte(text[0]) ? 2 : 1);
  }
  if (a.has(K::DIMNUM)) return store_int(e, out, var ? var->dim_count : 0);
  const int dim_keywords[kMaxDims] = {K::DIMSIZE,  K::DIMSIZE2, K::DIMSIZE3, K::DIMSIZE4,
                                      K::DIMSIZE5, K::DIMSIZE6, K::DIMSIZE7, K::DIMSIZE8};
  for (int d = 0; d < kMaxDims; ++d)
    if (a.has(dim_keywords[d])) return store_int(e, out, var ? var->dims[static_cast<size_t>(d)] : 0);
  if (a.has(K::LENGTH)) {
    if (v.type() != kVarString) return report(e, 108220);
    return store_int(e, out, static_cast<int64_t>(sjis::char_count(named_text(v, v.element))));
  }
  if (a.has(K::SEARCH)) return store_int(e, out, search(e, v));
  return 0;
}

}  // namespace nv::data
