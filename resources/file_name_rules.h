// Normalisation of the file names scripts give: the tree-path rules with an
// empty base ("." dropped, ".." removes the component before it, ":" or
// ":/" at the start taken away), then ASCII lower case and '\' separators.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nv::res {

// The normalised name, or nothing when a component contains a blank (the
// caller reports 100242 with `working_path`).
struct NormalizedName {
  std::optional<std::string> name;
  std::string working_path;  // the path the blank was found in
};

NormalizedName normalize_file_name(std::string_view name);

}  // namespace nv::res
