// VIZud, the title compiler.
#include <iostream>
#include <string>
#include <vector>

#include "tools/vizud/vizud.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return nv::vizud::run_vizud(args, std::cout, std::cerr);
}
