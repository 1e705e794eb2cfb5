// dravolin run: any command-line script on a drawing, with the module loaded.

#include <ostream>

#include "cli/answer_options.h"
#include "cli/command.h"
#include "cli/drawing_io.h"
#include "cli/host_run.h"
#include "cli/output_path.h"
#include "cli/script_text.h"
#include "cli/terminal_text.h"
#include "host/ui/answers_channel.h"
#include "host/ui/text_encoding.h"

namespace cli {

namespace {

int Run(const ParsedArgs& args, CommandContext& context) {
  if (args.positional.size() != 1)
    return UsageError(context, "run",
                      "expected one input drawing, got " + std::to_string(args.positional.size()));
  const std::string& input = args.positional[0];
  std::optional<std::string> output = args.Value("output");
  std::string err;
  if (output && output->empty()) return UsageError(context, "run", "-o needs a file name");
  if (output && !CheckOutputIsNoInput(*output, {input}, &err))
    return Fail(context, kExitUsage, err);
  const std::string mark = OutputMark("run", input);
  if (output) {
    std::string problem = ReplaceProblem(*output, mark, args.Has("overwrite"));
    if (!problem.empty())
      return Fail(context, kExitUsage,
                  "not replacing '" + *output + "' (" + problem +
                      "); nothing run (--overwrite replaces regular files)");
    if (!PrepareOutputFolder(*output, &err)) return Fail(context, kExitInputError, err);
  }

  host::Answers answers;
  if (!BuildAnswers(args, std::nullopt, &answers, &err)) return UsageError(context, "run", err);

  std::string script;
  if (auto script_path = args.Value("script")) {
    std::string bytes;
    if (!ReadWholeFile(*script_path, &bytes, &err)) return Fail(context, kExitInputError, err);
    if (!DecodeScriptText(bytes, &script, &err))
      return Fail(context, kExitInputError, *script_path + ": " + err);
  }

  std::unique_ptr<host::Drawing> drawing = LoadDrawing(input, &err);
  if (!drawing) {
    context.err << "dravolin: error: " << TerminalText(err) << "\n";
    return kExitInputError;
  }

  host::AnswersChannel channel(std::move(answers));
  std::unique_ptr<HostRun> host = HostRun::Start(std::move(drawing), &channel, &err);
  if (!host) return Fail(context, kExitHostAbort, err);

  host->EnableFileCommands(input, output.value_or(""));
  bool finished = script.empty() || host->RunInput(script);
  int code = kExitOk;
  if (!finished) {
    code = Fail(context, kExitHostAbort,
                input + ": the host aborted: " + host::Cp1252ToUtf8(host->abort_message()));
  } else if (output && !SaveDrawing(host->drawing(), *output, &err, mark)) {
    code = Fail(context, kExitInputError, err);
  }
  host->UnloadModule();
  const std::string& transcript = channel.transcript();
  context.out << TerminalText(host::Cp1252ToUtf8(transcript), true);
  if (!transcript.empty() && transcript.back() != '\n') context.out << "\n";
  return code;
}

}  // namespace

CommandSpec MakeRunCommand() {
  CommandSpec decl;
  decl.name = "run";
  decl.summary = "run a command-line script on a drawing, with the conversion module loaded";
  decl.usage = "IN.dxf [--script FILE] [-o OUT.dxf] [answer options]";
  decl.description =
      "Loads the drawing, loads the conversion module, feeds the script's lines to the\n"
      "command line (each line is one input; an empty line is Enter), runs them and the\n"
      "scripts they queue, writes the drawing to OUT when given, and prints the\n"
      "transcript. The script may be UTF-8 or code page 1252. Without a script the\n"
      "drawing is written back unchanged. The input is never overwritten.";
  decl.options = {
      {"script", 0, "FILE", "command-line script to run"},
      {"output", 'o', "FILE", "write the drawing there afterwards"},
      {"overwrite", 0, "", "replace an existing FILE that an earlier run did not write"},
  };
  for (OptionSpec& option : AnswerOptionSpecs()) decl.options.push_back(option);
  decl.run = Run;
  return decl;
}

}  // namespace cli
