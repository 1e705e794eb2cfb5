// dravolin convert: one or more exported drawings converted for a target
// add-on, as a user would run the conversion command in the host, with the
// answers given as options.

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ostream>
#include <set>

#include "cli/answer_options.h"
#include "cli/command.h"
#include "cli/dimension_check.h"
#include "cli/drawing_io.h"
#include "cli/drawing_survey.h"
#include "cli/host_run.h"
#include "cli/output_path.h"
#include "dxf/document.h"
#include "host/cmdline/command_line.h"
#include "host/ui/answers_channel.h"
#include "host/ui/text_encoding.h"

namespace cli {

namespace {

struct Target {
  const char* name;
  const char* command;        // the module's conversion command
  const char* suffix;         // of the default output name
  const char* template_file;  // bundled template
};

constexpr Target kTargets[] = {
    {"mech6", "DRAVOLIN1", "-mech6", "Mech6.dwt"},
    {"genius", "DRAVOLINGEN", "-genius", "Genius14.dwt"},
};

// The message box the conversion shows when it found no reference factor
// and stops before changing anything.
constexpr char kNoReferenceMessage[] = "Sie müssen eine Bemaßung wählen!";

struct ConvertSettings {
  const Target* target = nullptr;
  host::Answers answers;
  std::string reference = "auto";
  bool force = false;
  bool dry_run = false;
  bool quiet = false;
  bool verbose = false;
};

struct Job {
  std::string input;
  std::string output;
};

bool IsDirectory(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsReadableFile(const std::string& path, std::string* err) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    *err = path + ": " + std::strerror(errno);
    return false;
  }
  if (S_ISDIR(info.st_mode)) {
    *err = path + ": " + std::strerror(EISDIR);
    return false;
  }
  return true;
}

std::string Utf8(const std::string& text_1252) { return host::Cp1252ToUtf8(text_1252); }

// Why a drawing is not what the conversion starts from, or "".
std::string RefusalReason(const DrawingSurvey& survey) {
  if (survey.views_on_current_layout()) return "";
  const SpaceFacts* space = survey.current_space();
  if (!space) return "the drawing has no current layout";
  if (space->model)
    return "the current space is model space ($TILEMODE 1), not a layout with drawing views";
  return "the current layout \"" + Utf8(space->layout) + "\" holds nothing but viewports";
}

// Why the reference answer cannot work on this drawing, or "".
std::string ReferenceProblem(const DrawingSurvey& survey, const std::string& reference) {
  if (reference == "auto") {
    if (!AutoReference(survey))
      return "no dimension carries a DIMLFAC override to take the reference factor from";
    return "";
  }
  for (const DimensionFacts& dimension : survey.dimensions) {
    if (host::EqualsNoCase1252(dimension.handle, reference))
      return dimension.override_dimlfac
                 ? ""
                 : "the " + dimension.type + " " + reference + " carries no DIMLFAC override";
  }
  return "no dimension with the handle " + reference + " carries a DIMLFAC override";
}

// The check's lines begin with "\n"; indented, they stand under the file's
// line.
std::string Indented(const std::string& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != '\n')
      text += lines[i];
    else
      text += i > 0 ? "\n  " : "  ";
  }
  return text;
}

// Runs the conversion command in a host that has the module loaded, checks
// the result and writes it.
int ConvertInHost(HostRun& host, const host::AnswersChannel& channel, const DrawingSurvey& before,
                  const Job& job, const ConvertSettings& settings, CommandContext& context) {
  if (!host.RunCommand(settings.target->command))
    return Fail(context, kExitHostAbort,
                job.input + ": the host aborted, nothing written: " + Utf8(host.abort_message()));
  bool stopped = std::any_of(channel.messages().begin(), channel.messages().end(),
                             [](const auto& shown) { return shown.text == kNoReferenceMessage; });
  if (stopped)
    return Fail(context, kExitInputError,
                job.input + ": the conversion stopped, nothing written: no reference dimension " +
                    "was picked (\"" + Utf8(kNoReferenceMessage) + "\")");

  ConversionCheck check = CompareDrawings(before, SurveyDrawing(host.drawing()));
  std::string check_text = FormatCheck(check);
  host.session().command_line().Print(check_text + "\n");

  std::string err;
  if (!settings.dry_run && !SaveDrawing(host.drawing(), job.output, &err))
    return Fail(context, kExitInputError, err);
  host.UnloadModule();
  if (settings.quiet) return kExitOk;
  context.out << job.input << " -> "
              << (settings.dry_run ? "(dry run, nothing written)" : job.output) << " ("
              << settings.target->name << ")\n";
  // With -v the check has just been shown in the transcript.
  if (!settings.verbose) context.out << Utf8(Indented(check_text)) << "\n";
  return kExitOk;
}

// Converts one drawing; *transcript receives what the host showed (UTF-8).
int ConvertOne(const Job& job, const ConvertSettings& settings, CommandContext& context,
               std::string* transcript) {
  std::string err;
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(job.input, &err);
  if (!drawing) {
    context.err << err << "\n";
    return kExitInputError;
  }
  DrawingSurvey before = SurveyDrawing(*drawing);
  if (!settings.force) {
    std::string reason = RefusalReason(before);
    if (!reason.empty())
      return Fail(context, kExitInputError,
                  job.input + ": " + reason + "; use --force to convert anyway");
  }
  std::string problem = ReferenceProblem(before, settings.reference);
  if (!problem.empty())
    return Fail(context, kExitInputError, job.input + ": cannot convert: " + problem);

  host::AnswersChannel channel(settings.answers);
  if (settings.verbose) channel.set_live_output(&context.out);
  int code;
  {
    std::unique_ptr<HostRun> host = HostRun::Start(std::move(drawing), &channel, &err);
    if (!host) return Fail(context, kExitHostAbort, err);
    code = ConvertInHost(*host, channel, before, job, settings, context);
  }  // the module has been unloaded and the session closed
  *transcript = Utf8(channel.transcript());
  return code;
}

int Convert(const ParsedArgs& args, CommandContext& context) {
  const char* name = "convert";
  if (args.positional.empty()) return UsageError(context, name, "no input drawing given");
  ConvertSettings settings;
  std::optional<std::string> target_name = args.Value("target");
  if (!target_name) return UsageError(context, name, "--target is required (mech6 or genius)");
  for (const Target& target : kTargets)
    if (*target_name == target.name) settings.target = &target;
  if (!settings.target)
    return UsageError(context, name, "unknown --target '" + *target_name + "' (mech6 or genius)");

  std::optional<std::string> output = args.Value("output");
  std::optional<std::string> out_dir = args.Value("out-dir");
  if (output && out_dir) return UsageError(context, name, "-o and --out-dir exclude each other");
  if (output && args.positional.size() > 1)
    return UsageError(context, name, "-o names one output; use --out-dir for several inputs");
  if ((output && output->empty()) || (out_dir && out_dir->empty()))
    return UsageError(context, name, "an empty output name");
  settings.quiet = args.Has("quiet");
  settings.verbose = args.Has("verbose");
  if (settings.quiet && settings.verbose)
    return UsageError(context, name, "-q and -v exclude each other");
  settings.force = args.Has("force");
  settings.dry_run = args.Has("dry-run");
  if (args.Has("layers") && std::string(settings.target->name) != "genius")
    return UsageError(context, name, "--layers answers the Genius layer dialog (--target genius)");

  std::string err;
  std::string bundled = BundledTemplatesDir() + "/" + settings.target->template_file;
  if (!BuildAnswers(args, bundled, &settings.answers, &err)) return UsageError(context, name, err);
  settings.reference = args.Value("reference").value_or("auto");
  if (const std::optional<std::string>& chosen = settings.answers.templates.front()) {
    if (!IsReadableFile(*chosen, &err)) return Fail(context, kExitInputError, "template " + err);
  }

  // Every output is decided and checked before anything is converted.
  if (out_dir && !IsDirectory(*out_dir))
    return Fail(context, kExitInputError, *out_dir + ": not a directory");
  std::vector<Job> jobs;
  std::set<std::string> outputs;
  for (const std::string& input : args.positional) {
    Job job{input, output
                       ? *output
                       : DefaultOutputPath(input, settings.target->suffix, out_dir.value_or(""))};
    if (!settings.dry_run && !CheckOutputIsNoInput(job.output, args.positional, &err))
      return Fail(context, kExitUsage, err);
    if (!outputs.insert(ResolvedPath(job.output)).second)
      return UsageError(context, name, "two inputs would both be written to '" + job.output + "'");
    jobs.push_back(job);
  }
  std::optional<std::string> transcript_path = args.Value("transcript");
  if (transcript_path) {
    if (transcript_path->empty())
      return UsageError(context, name, "--transcript needs a file name");
    if (!CheckOutputIsNoInput(*transcript_path, args.positional, &err))
      return Fail(context, kExitUsage, err);
    if (!settings.dry_run && outputs.count(ResolvedPath(*transcript_path)))
      return UsageError(context, name, "--transcript names an output drawing");
  }

  int worst = kExitOk;
  std::string transcript;
  for (const Job& job : jobs) {
    std::string one;
    int code = ConvertOne(job, settings, context, &one);
    worst = std::max(worst, code);
    if (jobs.size() > 1 && !one.empty()) transcript += "==> " + job.input + " <==\n";
    transcript += one;
    if (!one.empty() && one.back() != '\n') transcript += "\n";
  }
  if (transcript_path) {
    dxf::OutputFile file;
    if (!file.Open(*transcript_path, &err)) return Fail(context, kExitInputError, err);
    file.Write(transcript);
    if (!file.Commit(&err)) return Fail(context, kExitInputError, err);
  }
  return worst;
}

}  // namespace

CommandSpec MakeConvertCommand() {
  CommandSpec decl;
  decl.name = "convert";
  decl.summary = "convert exported drawings for the Mech6 or the Genius 14 add-on";
  decl.usage = "IN.dxf... --target mech6|genius [-o OUT.dxf | --out-dir DIR] [options]";
  decl.description =
      "Loads each drawing, checks that its current space is a layout holding drawing\n"
      "views, runs the conversion command (DRAVOLIN1 for mech6, DRAVOLINGEN for genius)\n"
      "with the answers below, lets the scripts it queues run, and writes the result\n"
      "(default: IN-mech6.dxf or IN-genius.dxf beside the input) through a temporary\n"
      "file. The displayed value of every dimension is compared before and after; a\n"
      "changed one is listed. Nothing is written when the conversion stops early.\n"
      "The template defaults to the bundled one of the target.";
  decl.options = {
      {"target", 0, "mech6|genius", "the add-on to convert for (required)"},
      {"output", 'o', "FILE", "output drawing (one input only)"},
      {"out-dir", 0, "DIR", "write the outputs into DIR"},
  };
  for (OptionSpec& option : AnswerOptionSpecs()) decl.options.push_back(option);
  std::vector<OptionSpec> more = {
      {"transcript", 0, "FILE", "write the host's transcript (UTF-8) to FILE"},
      {"force", 0, "", "convert even when the current space holds no views"},
      {"dry-run", 0, "", "convert and check, but write no drawing"},
      {"quiet", 'q', "", "print errors only"},
      {"verbose", 'v', "", "print the host's transcript as it runs"},
  };
  decl.options.insert(decl.options.end(), more.begin(), more.end());
  decl.run = Convert;
  return decl;
}

}  // namespace cli
