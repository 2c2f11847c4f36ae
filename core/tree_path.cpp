#include "core/tree_path.h"

#include "core/error_report.h"
#include "core/tree_node.h"
#include "formats/sjis_text.h"

namespace nv {

namespace {

bool has_path_syntax(std::string_view s) {
  for (size_t i = 0; i < s.size(); i = sjis::next_char(s, i)) {
    if (sjis::char_length_at(s, i) == 2) continue;
    if (s[i] == '.' || s[i] == ':' || s[i] == '/') return true;
  }
  return false;
}

bool has_blank(std::string_view s) {
  for (size_t i = 0; i < s.size(); i = sjis::next_char(s, i))
    if (sjis::char_length_at(s, i) == 1 && s[i] == ' ') return true;
  return false;
}

// Byte offset of the next single-byte "/" at or after `from`, or npos.
size_t find_slash(std::string_view s, size_t from) {
  for (size_t i = from; i < s.size(); i = sjis::next_char(s, i))
    if (sjis::char_length_at(s, i) == 1 && s[i] == '/') return i;
  return std::string_view::npos;
}

}  // namespace

std::vector<std::string_view> split_node_path(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t slash = find_slash(path, start);
    if (slash == std::string_view::npos) {
      parts.push_back(path.substr(start));
      return parts;
    }
    parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
}

std::string_view last_path_component(std::string_view path) {
  std::vector<std::string_view> parts = split_node_path(path);
  return parts.back();
}

bool resolve_node_path(Engine& e, std::string_view text, std::string_view base, NodePath& out) {
  out = {};
  if (!has_path_syntax(text)) {
    out.path = base.empty() ? std::string(text) : std::string(base) + "/" + std::string(text);
    return true;
  }
  std::string work;
  if (text.starts_with(":/")) work = text.substr(2);
  else if (text.starts_with(":")) work = text.substr(1);
  else {
    if (text.starts_with("/")) text.remove_prefix(1);
    work = std::string(base) + "/" + std::string(text);
  }
  // Components are copied with their terminating "/"; the last one may have
  // none.
  std::string built;
  std::vector<size_t> starts;  // where each built component begins
  size_t pos = 0;
  while (pos < work.size()) {
    size_t slash = find_slash(work, pos);
    size_t end = slash == std::string::npos ? work.size() : slash + 1;
    std::string_view comp = std::string_view(work).substr(pos, end - pos);
    std::string_view bare = comp.ends_with('/') ? comp.substr(0, comp.size() - 1) : comp;
    if (has_blank(bare)) {
      report(e, 100242, {work});
      return false;
    }
    if (bare == ".") {
    } else if (bare == "..") {
      if (!starts.empty()) {
        built.resize(starts.back());
        starts.pop_back();
      }
    } else {
      starts.push_back(built.size());
      built += comp;
    }
    pos = end;
  }
  if (built.ends_with('/')) {
    built.pop_back();
    out.is_set = true;
  }
  out.path = std::move(built);
  return true;
}

namespace {

// The set holding the last component of `parts`: every component before it
// must be an existing set. nullptr names the missing one in `missing`.
TreeNode* walk_sets(TreeNode& root, const std::vector<std::string_view>& parts, std::string_view& missing) {
  TreeNode* at = &root;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    at = find_child(*at, parts[i], true);
    if (!at) {
      missing = parts[i];
      return nullptr;
    }
  }
  return at;
}

}  // namespace

TreeNode* find_node_by_path(Engine& e, TreeNode& root, const NodePath& p, bool report_missing_set,
                            bool* missing_set) {
  std::vector<std::string_view> parts = split_node_path(p.path);
  std::string_view missing;
  TreeNode* parent = walk_sets(root, parts, missing);
  if (missing_set) *missing_set = parent == nullptr;
  if (!parent) {
    if (report_missing_set) report(e, 100230, {missing});
    return nullptr;
  }
  return find_child(*parent, parts.back(), p.is_set);
}

TreeNode* find_parent_set(Engine& e, TreeNode& root, const NodePath& p) {
  std::vector<std::string_view> parts = split_node_path(p.path);
  std::string_view missing;
  TreeNode* parent = walk_sets(root, parts, missing);
  if (!parent) report(e, 100230, {missing});
  return parent;
}

}  // namespace nv
