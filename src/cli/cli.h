// The dravolin program: finds the command named on the command line, parses
// its options and runs it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

extern const char kVersion[];

// Runs the program with args (without the program name); returns the exit
// code. The interactive shell reads in; output and errors go to out and err.
// process_ends_after: the caller ends the process when this returns.
int RunProgram(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, bool process_ends_after = false);

}  // namespace cli
