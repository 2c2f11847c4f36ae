#include "resources/file_loader.h"

#include "host/engine.h"
#include "runtime/error_report.h"

namespace nv {

int load_file(Engine& e, std::string_view name, FileRequest& req, bool report_missing, bool lookup) {
  if (lookup) {
    req = FileRequest{};
    req.name = std::string(name);
  }
  platform::FileRead r = e.host.files->read(name);
  if (r.status == platform::FileStatus::missing) {
    if (report_missing) report_ex(e, 104060, {}, {name});
    return kLoadNotFound;
  }
  if (r.status == platform::FileStatus::unreadable) {
    if (report_missing) report_ex(e, 104010, {}, {name});
    return kLoadNotFound;
  }
  req.source = FileSource::loose;
  req.data = std::move(r.data);
  return kLoadOk;
}

}  // namespace nv
