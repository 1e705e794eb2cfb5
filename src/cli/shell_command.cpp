// dravolin shell: the host's command line at a terminal, with the drawing
// open and the conversion module loaded; dialogs, message boxes and picks
// are answered by typing.

#include <unistd.h>

#include <iostream>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/drawing_io.h"
#include "cli/host_run.h"
#include "cli/line_editor.h"
#include "cli/output_path.h"
#include "host/cmdline/command_line.h"
#include "host/platform/platform.h"
#include "host/ui/console_channel.h"
#include "host/ui/text_encoding.h"

namespace cli {

namespace {

int Shell(const ParsedArgs& args, CommandContext& context) {
  if (args.positional.size() != 1)
    return UsageError(context, "shell",
                      "expected one input drawing, got " + std::to_string(args.positional.size()));
  const std::string& input = args.positional[0];
  std::optional<std::string> output = args.Value("output");
  std::string err;
  if (output && output->empty()) return UsageError(context, "shell", "-o needs a file name");
  if (output && !CheckOutputIsNoInput(*output, {input}, &err))
    return Fail(context, kExitUsage, err);

  std::unique_ptr<host::Drawing> drawing = LoadDrawing(input, &err);
  if (!drawing) {
    context.err << "dravolin: error: " << err << "\n";
    return kExitInputError;
  }
  // A person typing sees the lines already; piped input is echoed instead.
  bool standard_streams = &context.in == &std::cin && &context.out == &std::cout;
  bool terminal = standard_streams && isatty(STDIN_FILENO);
  host::ConsoleChannel console(context.in, context.out, terminal);
  // At a terminal the lines are edited with readline (history, cursor keys);
  // piped input is read as it comes.
  std::unique_ptr<LineEditor> editor;
  if (standard_streams && LineEditor::Usable()) {
    editor = std::make_unique<LineEditor>(DefaultHistoryFile());
    console.SetLineSource([&editor](const std::string& prompt) { return editor->Read(prompt); });
  }
  std::unique_ptr<HostRun> host = HostRun::Start(std::move(drawing), &console, &err);
  if (!host) return Fail(context, kExitHostAbort, err);

  host->EnableFileCommands(input, output.value_or(""));
  // Read now, so that a template folder that is gone is reported at once.
  host->session().platform().registry();
  host::CommandLine& command_line = host->session().command_line();
  command_line.SetInteractiveInput([&](const std::string&) -> std::optional<std::string> {
    std::optional<std::string> line = console.ReadLine();
    if (!line || !editor) return line;
    // Ctrl-C: nothing at the idle prompt, the end of the running command
    // inside one.
    if (*line == "\x1b") {
      if (command_line.in_command()) return std::nullopt;
      return std::string();
    }
    if (!command_line.in_command()) editor->RememberLast();
    return line;
  });

  int code = kExitOk;
  if (!host->RunInteractive())
    code = Fail(context, kExitHostAbort,
                input + ": the host aborted: " + host::Cp1252ToUtf8(host->abort_message()));
  host->UnloadModule();
  console.Flush();
  context.out << "\n";
  return code;
}

}  // namespace

CommandSpec MakeShellCommand() {
  CommandSpec decl;
  decl.name = "shell";
  decl.summary = "open a drawing at the host's interactive command line";
  decl.usage = "IN.dxf [-o OUT.dxf]";
  decl.description =
      "Opens the drawing, loads the conversion module and reads commands from the\n"
      "terminal, one line each, until the end of input or _quit. Dialogs, message boxes,\n"
      "the file dialog and dimension picks are shown as text and answered by typing.\n"
      "_qsave writes to OUT; _saveas PATH to another file. The input is never\n"
      "overwritten. At a terminal the lines can be edited (arrow keys, Ctrl-R\n"
      "searches earlier commands, Tab completes file names); Ctrl-C gives up a line\n"
      "and cancels the running command, Ctrl-D at the prompt ends the session.\n"
      "Commands are kept between sessions in $DRAVOLIN_HISTORY (default:\n"
      "~/.local/state/dravolin/history).";
  decl.options = {
      {"output", 'o', "FILE", "where _qsave writes"},
  };
  decl.run = Shell;
  return decl;
}

}  // namespace cli
