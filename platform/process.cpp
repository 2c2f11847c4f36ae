#include "platform/process.h"

#include <spawn.h>
#include <sys/types.h>

#include <filesystem>

extern char** environ;

namespace nv::platform {

bool start_process(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> all;
  all.push_back(program);
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0;
}

std::string executable_path() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

}  // namespace nv::platform
