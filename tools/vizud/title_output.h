// From a compiled title to the engine files: the model of the shared
// writers, and the nvbin/ folder replaced only when everything was written.
#pragma once

#include <filesystem>
#include <map>
#include <string>

#include "tools/vizud/diagnostics.h"
#include "tools/vizud/title_compiler.h"
#include "tools/writers/title_writer.h"

namespace nv::vizud {

writers::TitleModel to_title_model(const CompiledTitle& title);

// Encodes every file (reporting format limits as errors), writes them into
// a temporary folder beside `project_dir`/nvbin and then puts that folder in
// place of nvbin/. On any failure the old nvbin/ is left as it was.
bool write_compiled_title(const std::filesystem::path& project_dir, const CompiledTitle& title, Diagnostics& diag);

}  // namespace nv::vizud
