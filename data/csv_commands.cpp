// CSV and CSVINFO: a comma-separated text file (read through the file
// loader, so from packs too) split into the elements of a text array, or
// counted. The rules are in data/csv_split.h.
#include <algorithm>
#include <string>

#include "core/engine.h"
#include "core/error_report.h"
#include "data/csv_split.h"
#include "data/named_variable.h"
#include "data/save_commands.h"
#include "formats/command_table.h"
#include "formats/sjis_text.h"
#include "resources/file_loader.h"
#include "runtime/arg_eval.h"
#include "runtime/arg_slots.h"
#include "runtime/output_target.h"

namespace nv::data {

namespace {

// The file FILE names, "/" outside double-byte characters read as "\".
// False after the loader reported it.
bool load_csv_file(Engine& e, int file_keyword, res::FileRequest& req) {
  std::string name(e.args.has(file_keyword) ? e.args.at(file_keyword).text_view() : std::string_view());
  for (size_t k = 0; k < name.size(); ++k) {
    if (sjis::is_lead_byte(name[k]) && k + 1 < name.size()) ++k;
    else if (name[k] == '/') name[k] = '\\';
  }
  return res::load_file(e, name, req) == res::kLoadOk;
}

std::string_view as_text(const std::vector<uint8_t>& data) {
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

}  // namespace

int csv_command(Engine& e) {
  namespace K = kw::CSV;
  if (evaluate_arguments(e) != 0) return -1;
  NamedVariable target = named_variable(e, K::LET);
  if (!target.var || target.type() != kVarString) return report(e, 101140);
  if (!target.user()) return report(e, 101150);
  res::FileRequest req;
  if (!load_csv_file(e, K::FILE, req)) return -1;
  Variable& var = *target.var;
  // Elements go from index 0 up; those past the array are dropped.
  csv::Split split = csv::split(as_text(req.data), std::min(static_cast<size_t>(var.count), var.texts.size()));
  for (size_t k = 0; k < split.elements.size(); ++k) store_text(var.texts[k], split.elements[k]);
  return 0;
}

int csvinfo_command(Engine& e) {
  namespace K = kw::CSVINFO;
  if (evaluate_arguments(e) != 0) return -1;
  if (!e.args.has(K::SIZE)) return 0;
  res::FileRequest req;
  if (!load_csv_file(e, K::FILE, req)) return -1;
  csv::Split split = csv::split(as_text(req.data), 0);
  return store_int(e, output_target(e, K::LET), static_cast<int64_t>(split.count));
}

}  // namespace nv::data
