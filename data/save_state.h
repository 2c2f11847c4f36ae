// The engine's record of save data: the pending records of SAVE, shared by
// every task, and where data files live.
#pragma once

#include <memory>
#include <string>

#include "data/save_io.h"
#include "platform/file_system.h"

namespace nv::data {

struct SaveState {
  save::PendingSlots slots;
  // System variable 57: the save folder, relative to the folder saves go to.
  std::string folder = "save\\";
  // The user's own folder for this title, used instead of the title folder
  // when that cannot be written; made at the first SAVE or LOAD.
  std::unique_ptr<platform::FileSystem> user_files;
};

}  // namespace nv::data
