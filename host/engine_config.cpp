#include "host/engine_config.h"

#include "core/error_report.h"
#include "host/engine.h"
#include "resources/file_loader.h"

namespace nv {

int load_engine_config(Engine& e) {
  res::FileRequest req;
  if (res::load_file(e, "nvbin\\nvcfg.nbn", req) != res::kLoadOk) return -1;
  uint32_t code = parse_engine_config(req.data, e.config);
  if (code != 0) {
    report_ex(e, code, ReportFlags{.stop = true, .framed = false});
    return -1;
  }
  return 0;
}

}  // namespace nv
