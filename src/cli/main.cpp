// The dravolin program. Everything but this file is in the cli library so
// that tests can run the program in-process.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/large_blocks.h"

int main(int argc, char** argv) {
  cli::TakeLargeBlocksFromSystem();
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  int code = cli::RunProgram(args, std::cin, std::cout, std::cerr, /*process_ends_after=*/true);
  std::cout.flush();
  return code;
}
