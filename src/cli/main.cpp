// The dravolin program. Everything but this file is in the cli library so
// that tests can run the program in-process.
#include <malloc.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  // Blocks from 8 MB up are taken from the system and given back to it
  // when freed. By default the C library raises that bound to the size of
  // each such block freed, so that a large conversion's lists, freed once
  // checked, would stay with the process and add to its peak. (A lower
  // bound costs time in the page faults of every fresh block.)
  mallopt(M_MMAP_THRESHOLD, 8 << 20);
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  int code = cli::RunProgram(args, std::cin, std::cout, std::cerr, /*process_ends_after=*/true);
  std::cout.flush();
  return code;
}
