// Writing an output file whole: the bytes go to a temporary file beside the
// target, which is then renamed over it, so a failure never leaves a
// half-written file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace nv::writers {

// Throws WriteError with the path and the reason on failure.
void write_file_atomic(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace nv::writers
