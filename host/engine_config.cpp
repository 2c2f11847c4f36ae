#include "host/engine_config.h"

#include "host/engine.h"
#include "resources/file_loader.h"
#include "core/error_report.h"

namespace nv {

int load_engine_config(Engine& e) {
  FileRequest req;
  if (load_file(e, "nvbin\\nvcfg.nbn", req) != kLoadOk) return -1;
  uint32_t code = parse_engine_config(req.data, e.config);
  if (code != 0) {
    report_ex(e, code, ReportFlags{.stop = true, .framed = false});
    return -1;
  }
  return 0;
}

uint8_t os_code_for_build(uint32_t build) {
  struct Row {
    uint16_t from, to;
    uint8_t code;
  };
  static constexpr Row kRows[] = {
      {950, 950, 1},   {1111, 1111, 2}, {1212, 1212, 3}, {1214, 1214, 4}, {1057, 1057, 12},
      {1381, 1381, 13}, {1998, 1998, 20}, {2222, 2222, 21}, {3000, 3000, 30}, {2195, 2195, 40},
      {2211, 2211, 45}, {2223, 2223, 45}, {2239, 2239, 45}, {2247, 2247, 45}, {2250, 2250, 45},
      {2257, 2257, 45}, {2600, 2600, 50}, {3790, 3790, 60}, {5219, 5219, 65}, {5260, 5260, 65},
      {5270, 5270, 65}, {5381, 5381, 65}, {5384, 5384, 65}, {5536, 5536, 65}, {5568, 5568, 65},
      {5600, 5600, 65}, {5743, 5743, 65}, {6000, 6002, 70}, {6801, 6801, 80}, {7000, 7000, 80},
      {7100, 7100, 80}, {7600, 7600, 80},
  };
  uint32_t b = build & 0xFFFF;
  for (const Row& r : kRows)
    if (b >= r.from && b <= r.to) return r.code;
  return 255;
}

}  // namespace nv
