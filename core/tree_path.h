// Node paths, shared by every tree: "/" separated components (Shift-JIS
// aware), ":" or ":/" in front for an absolute path, "." and "..", and a
// trailing "/" naming a set. Paths are resolved against a base path (the
// layer tree's current set, the task tree's unnamed one).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nv {

struct Engine;
struct TreeNode;

struct NodePath {
  std::string path;     // normalised, without the trailing "/" of a set
  bool is_set = false;
};

// Resolves `text` against `base`. Returns false after reporting 100242 (a
// component holds a blank).
bool resolve_node_path(Engine& e, std::string_view text, std::string_view base, NodePath& out);

// The components of a normalised path, split at "/" outside double-byte
// characters.
std::vector<std::string_view> split_node_path(std::string_view path);

// Finds the node a normalised path names under `root`: every component but
// the last must be an existing set. A missing set is reported with 100230
// (naming that component) when `report_missing_set`; `missing_set` tells the
// caller it happened. Returns nullptr when anything is missing.
TreeNode* find_node_by_path(Engine& e, TreeNode& root, const NodePath& p, bool report_missing_set,
                            bool* missing_set = nullptr);

// The set that would hold the node `p` names (every component but the last,
// each an existing set), or nullptr after reporting 100230.
TreeNode* find_parent_set(Engine& e, TreeNode& root, const NodePath& p);

// The last component of a normalised path.
std::string_view last_path_component(std::string_view path);

}  // namespace nv
