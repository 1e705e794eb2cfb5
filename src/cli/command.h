// The dravolin program's commands: a table of name, one-line summary, usage,
// options and the function that runs it, like the sub-tools of a build tool.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/arg_parser.h"

namespace cli {

// The program's exit codes.
enum ExitCode : int {
  kExitOk = 0,
  kExitInputError = 1,  // a file that cannot be read, a drawing that cannot be converted
  kExitUsage = 2,       // a malformed command line, or output that would replace an input
  kExitHostAbort = 3,   // the host ended the run (an abort, or the module would not load)
};

// Where a command reads and writes. Everything the program prints is UTF-8.
struct CommandContext {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  // The process ends when the command returns (the dravolin executable):
  // what the command would free at its end may be left to the exit.
  bool process_ends_after = false;
};

struct CommandSpec {
  std::string name;
  std::string summary;      // one line for "dravolin --help"
  std::string usage;        // the arguments after the name
  std::string description;  // a paragraph for "dravolin NAME --help"
  std::vector<OptionSpec> options;
  int (*run)(const ParsedArgs& args, CommandContext& context) = nullptr;
};

CommandSpec MakeRunCommand();
CommandSpec MakeConvertCommand();
CommandSpec MakeInfoCommand();
CommandSpec MakeShellCommand();
CommandSpec MakeServeCommand();

// Reports a usage error of a command on one line and returns kExitUsage.
int UsageError(CommandContext& context, const std::string& command, const std::string& message);
// Reports an error on one line ("dravolin: error: ...") and returns code.
int Fail(CommandContext& context, int code, const std::string& message);

}  // namespace cli
