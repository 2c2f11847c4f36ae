// Folders of the user's own that the engine writes into when the title's
// folder cannot be written.
#pragma once

#include <string>

namespace nv::platform {

// The user's data folder (host path, UTF-8): $XDG_DATA_HOME when it is an
// absolute path, else $HOME/.local/share; empty when neither is known.
std::string user_data_home();

// The title's folder inside the user's data folder, "<data>/nivalo/<name>"
// with <name> the last component of the title folder `title_dir` (a host
// path), made when missing. Empty when it cannot be made.
std::string user_title_folder(const std::string& title_dir);

}  // namespace nv::platform
