#include "cli/cli.h"

#include <exception>
#include <iostream>
#include <new>

#include "cli/command.h"
#include "cli/spellcheck.h"
#include "cli/terminal_text.h"

namespace cli {

const char kVersion[] = "0.1.0";

namespace {

const std::vector<CommandSpec>& Commands() {
  static const std::vector<CommandSpec> commands = {
      MakeConvertCommand(), MakeRunCommand(),   MakeInfoCommand(),
      MakeShellCommand(),   MakeServeCommand(),
  };
  return commands;
}

const CommandSpec* FindCommand(const std::string& name) {
  for (const CommandSpec& command : Commands())
    if (command.name == name) return &command;
  return nullptr;
}

void PrintProgramHelp(std::ostream& out) {
  out << "usage: dravolin COMMAND [ARGS...]\n"
         "       dravolin COMMAND --help\n"
         "       dravolin --version\n\n"
         "Converts drawings exported by a 3D modeller (DXF) into drawings set up for\n"
         "the Mech6 or the Genius 14 add-on, through a substitute CAD host.\n\n"
         "commands:\n";
  size_t width = 0;
  for (const CommandSpec& command : Commands()) width = std::max(width, command.name.size());
  for (const CommandSpec& command : Commands())
    out << "  " << command.name << std::string(width - command.name.size() + 2, ' ')
        << command.summary << "\n";
  out << "\nexit codes: 0 done, 1 input error, 2 usage error, 3 host abort\n";
}

void PrintCommandHelp(const CommandSpec& command, std::ostream& out) {
  out << "usage: dravolin " << command.name << " " << command.usage << "\n\n"
      << command.description << "\n\noptions:\n"
      << FormatOptionsHelp(command.options);
}

int RunCommand(const CommandSpec& command, const std::vector<std::string>& args,
               CommandContext& context) {
  ParsedArgs parsed;
  std::string err;
  if (!ParseArgs(args, command.options, &parsed, &err))
    return UsageError(context, command.name, err);
  if (parsed.Has("help")) {
    PrintCommandHelp(command, context.out);
    return kExitOk;
  }
  return command.run(parsed, context);
}

}  // namespace

int UsageError(CommandContext& context, const std::string& command, const std::string& message) {
  context.err << "dravolin: error: " << TerminalText(message) << " (see 'dravolin " << command
              << " --help')\n";
  return kExitUsage;
}

int Fail(CommandContext& context, int code, const std::string& message) {
  context.err << "dravolin: error: " << TerminalText(message) << "\n";
  return code;
}

int RunProgram(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, bool process_ends_after) {
  CommandContext context{in, out, err, process_ends_after};
  if (args.empty()) {
    err << "dravolin: error: no command given (see 'dravolin --help')\n";
    return kExitUsage;
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") {
    if (first == "help" && args.size() > 1) {
      if (const CommandSpec* command = FindCommand(args[1])) {
        PrintCommandHelp(*command, out);
        return kExitOk;
      }
    } else {
      PrintProgramHelp(out);
      return kExitOk;
    }
  }
  if (first == "--version") {
    out << "dravolin " << kVersion << "\n";
    return kExitOk;
  }
  const std::string& name = first == "help" ? args[1] : first;
  const CommandSpec* command = FindCommand(name);
  if (!command) {
    std::vector<std::string> names;
    for (const CommandSpec& known : Commands()) names.push_back(known.name);
    std::string message =
        (name.size() > 1 && name[0] == '-' ? "unknown option '" : "unknown command '") + name + "'";
    std::string hint = ClosestMatch(name, names);
    if (!hint.empty()) message += ", did you mean '" + hint + "'?";
    err << "dravolin: error: " << TerminalText(message) << " (see 'dravolin --help')\n";
    return kExitUsage;
  }
  try {
    return RunCommand(*command, std::vector<std::string>(args.begin() + 1, args.end()), context);
  } catch (const std::bad_alloc&) {
    return Fail(context, kExitInputError, "not enough memory to finish '" + name + "'");
  } catch (const std::exception& fault) {
    // A fault of the program itself; say so rather than end with a crash.
    return Fail(context, kExitHostAbort, std::string("internal error: ") + fault.what());
  }
}

}  // namespace cli
