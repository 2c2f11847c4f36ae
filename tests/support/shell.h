// Small helpers for tests that run programs: a file's whole text, a path
// quoted for the shell, what a command writes to standard output.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace nv::test {

inline std::string slurp(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// Single quotes around the path (test paths never hold a quote).
inline std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

inline std::string output_of(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

}  // namespace nv::test
