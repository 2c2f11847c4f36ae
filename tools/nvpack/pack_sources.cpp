#include "tools/nvpack/pack_sources.h"

#include <algorithm>
#include <fstream>

#include "formats/byte_writer.h"
#include "platform/encoding.h"
#include "tools/writers/write_error.h"

namespace nv::nvpack {

using writers::WriteError;

namespace {

std::string to_entry_name(const std::string& utf8) {
  bool lossless = false;
  std::string sjis = platform::utf8_to_sjis(utf8, &lossless);
  if (!lossless) throw WriteError("\"" + utf8 + "\" cannot be written in Shift-JIS");
  return sjis;
}

}  // namespace

std::vector<SourceFile> files_in_folder(const std::filesystem::path& folder, const std::filesystem::path& skip) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) throw WriteError(folder.string() + " is not a folder");
  fs::path skip_canon = skip.empty() ? fs::path() : fs::weakly_canonical(skip, ec);
  std::vector<SourceFile> out;
  fs::recursive_directory_iterator it(folder, fs::directory_options::follow_directory_symlink, ec);
  if (ec) throw WriteError("cannot read " + folder.string() + ": " + ec.message());
  for (auto end = fs::recursive_directory_iterator(); it != end; it.increment(ec)) {
    if (ec) throw WriteError("cannot read " + folder.string() + ": " + ec.message());
    if (!it->is_regular_file(ec)) continue;
    if (!skip_canon.empty() && fs::weakly_canonical(it->path(), ec) == skip_canon) continue;
    std::string rel = fs::relative(it->path(), folder, ec).generic_string();
    out.push_back({it->path(), to_entry_name(rel)});
  }
  std::sort(out.begin(), out.end(), [](const SourceFile& a, const SourceFile& b) { return a.entry_name < b.entry_name; });
  return out;
}

std::vector<SourceFile> files_in_list(const std::filesystem::path& list) {
  std::ifstream in(list, std::ios::binary);
  if (!in) throw WriteError("cannot read the file list " + list.string());
  std::vector<SourceFile> out;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::string host = line, name = line;
    if (size_t tab = line.find('\t'); tab != std::string::npos) {
      host = line.substr(0, tab);
      name = line.substr(tab + 1);
    }
    if (host.empty() || name.empty())
      throw WriteError(list.string() + ":" + std::to_string(number) + ": an empty path or entry name");
    std::filesystem::path p(host);
    if (p.is_relative()) p = list.parent_path() / p;
    out.push_back({p, to_entry_name(name)});
  }
  return out;
}

}  // namespace nv::nvpack
