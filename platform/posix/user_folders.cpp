#include "platform/user_folders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace nv::platform {

std::string user_data_home() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share";
  return {};
}

std::string user_title_folder(const std::string& title_dir) {
  std::string base = user_data_home();
  if (base.empty()) return {};
  std::error_code ec;
  std::filesystem::path title = std::filesystem::weakly_canonical(title_dir, ec);
  std::string name = ec ? std::string() : title.filename().string();
  if (name.empty()) name = "title";
  std::filesystem::path folder = std::filesystem::path(base) / "nivalo" / name;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec) ? folder.string() : std::string();
}

}  // namespace nv::platform
