#include "platform/process.h"

#include <spawn.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>

extern char** environ;

namespace nv::platform {

namespace {

// The argument vector of `program` with `args`; points into `all`.
std::vector<char*> argument_vector(std::vector<std::string>& all) {
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

std::vector<std::string> with_program(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> all;
  all.push_back(program);
  all.insert(all.end(), args.begin(), args.end());
  return all;
}

}  // namespace

bool start_process(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> all = with_program(program, args);
  std::vector<char*> argv = argument_vector(all);
  pid_t pid = 0;
  return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0;
}

void replace_process(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> all = with_program(program, args);
  std::vector<char*> argv = argument_vector(all);
  ::execv(program.c_str(), argv.data());
}

std::string executable_path() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

long process_id() { return static_cast<long>(::getpid()); }

}  // namespace nv::platform
