#include "platform/user_folders.h"

#include <cstdlib>

namespace nv::platform {

std::string user_data_home() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share";
  return {};
}

}  // namespace nv::platform
