#include <algorithm>
#include <deque>

#include "core/engine.h"
#include "core/error_report.h"
#include "resources/name_fold.h"
#include "resources/pack_mount.h"
#include "resources/resource_state.h"

namespace nv::res {

namespace {

constexpr size_t kMaxQueuedFolders = 1000;
constexpr int kMaxLevel = 31;
constexpr int kSearchDepth = 1;  // the title folder and its "pac", no deeper

struct QueuedFolder {
  std::string path;  // "." or ".\pac"
  int level = 1;
};

}  // namespace

int search_packs(Engine& e) {
  ResourceState& rs = e.resources;
  constexpr ReportFlags kFlags{.stop = true, .framed = false};
  std::deque<QueuedFolder> queue{{".", 1}};
  size_t queued = 1;
  while (!queue.empty()) {
    QueuedFolder folder = std::move(queue.front());
    queue.pop_front();
    std::vector<platform::DirEntry> list = e.platform.files->list(folder.path);
    // The host lists in no particular order; a fixed order keeps pack
    // numbers and update-slot replacement reproducible.
    std::sort(list.begin(), list.end(), [](const platform::DirEntry& a, const platform::DirEntry& b) {
      std::string la = lower_ascii_sjis(a.name), lb = lower_ascii_sjis(b.name);
      return la != lb ? la < lb : a.name < b.name;
    });
    for (const platform::DirEntry& entry : list) {
      if (entry.is_directory) {
        if (!equal_ignore_case_sjis(entry.name, "pac") || folder.level > kSearchDepth) continue;
        if (queued >= kMaxQueuedFolders) {
          report_ex(e, 104110, kFlags);
          return -1;
        }
        if (folder.level + 1 > kMaxLevel) {
          report_ex(e, 104111, kFlags);
          return -1;
        }
        queue.push_back({folder.path + "\\" + entry.name, folder.level + 1});
        ++queued;
        continue;
      }
      if (!ends_with_ignore_case(entry.name, ".npf")) continue;
      std::string open_path = folder.path + "\\" + entry.name;
      std::string path = lower_ascii_sjis(open_path);
      if (int slot = update_slot_of(entry.name)) {
        rs.update_slots[slot] = path;  // a later find replaces an earlier one
        rs.update_open_paths[slot] = open_path;
        continue;
      }
      if (mount_one_pack(e, path, open_path) != 0) return -1;
    }
  }
  return 0;
}

}  // namespace nv::res
