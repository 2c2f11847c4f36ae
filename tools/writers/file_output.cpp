#include "tools/writers/file_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <system_error>

#include "formats/byte_writer.h"
#include "tools/writers/write_error.h"

namespace nv::writers {

void write_file_atomic(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  std::random_device rd;
  std::filesystem::path tmp = path;
  tmp += ".tmp" + std::to_string(rd() % 1000000);
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) throw WriteError("cannot create " + tmp.string() + ": " + std::strerror(errno));
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  int err = errno;
  if (std::fflush(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  std::error_code ec;
  if (!ok) {
    std::filesystem::remove(tmp, ec);
    throw WriteError("cannot write " + path.string() + ": " + std::strerror(err));
  }
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(tmp, ignored);
    throw WriteError("cannot write " + path.string() + ": " + ec.message());
  }
}

}  // namespace nv::writers
