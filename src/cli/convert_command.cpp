// dravolin convert: one or more exported drawings converted for a target
// add-on, as a user would run the conversion command in the host, with the
// answers given as options. One drawing converts in this process; several
// (or a folder) convert in worker processes, several at a time, with a
// summary at the end.

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <new>
#include <ostream>
#include <set>

#include "cli/answer_options.h"
#include "cli/batch_inputs.h"
#include "cli/batch_run.h"
#include "cli/batch_summary.h"
#include "cli/command.h"
#include "cli/convert_one.h"
#include "cli/host_run.h"
#include "cli/output_path.h"
#include "cli/report/report.h"
#include "dxf/document.h"

namespace cli {

namespace {

constexpr char kName[] = "convert";

// A transcript kept beside an output carries its output's mark, told apart.
std::string TranscriptMark(const std::string& output_mark) { return output_mark + "\ntranscript"; }

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

bool HasReportEnding(const std::string& path) {
  auto ends = [&](const std::string& ending) {
    return path.size() > ending.size() &&
           path.compare(path.size() - ending.size(), ending.size(), ending) == 0;
  };
  return ends(".json") || ends(".html") || ends(".htm");
}

// Creates the folders of path below (and not including) base.
bool MakeFoldersBelow(const std::string& base, const std::string& path, std::string* err) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash <= base.size()) return true;
  for (size_t at = base.size() + 1; at <= slash; ++at) {
    if (at != slash && path[at] != '/') continue;
    std::string folder = path.substr(0, at);
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
      *err = folder + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

// Creates a folder and the folders above it that are missing.
bool MakeFolders(const std::string& path, std::string* err) {
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at != path.size() && path[at] != '/') continue;
    std::string folder = path.substr(0, at);
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
      *err = folder + ": cannot create the output folder: " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string* err,
                   const std::string& mark = "") {
  dxf::OutputFile file;
  if (!file.Open(path, err)) return false;
  file.SetMark(mark);
  file.Write(text);
  return file.Commit(err);
}

size_t TerminalColumns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

size_t Processors() {
  long count = sysconf(_SC_NPROCESSORS_ONLN);
  return count > 0 ? static_cast<size_t>(count) : 1;
}

// Everything the command line asked for, checked.
struct ConvertRequest {
  ConvertSettings settings;
  std::optional<std::string> output, out_dir, transcript, report;
  bool recursive = false;
  bool transcripts = false;
  bool overwrite = false;
  size_t jobs = 0;  // 0: one per processor
};

// Reads the options into request; a usage error is reported and its exit
// code returned, else -1.
int ReadRequest(const ParsedArgs& args, CommandContext& context, ConvertRequest* request) {
  ConvertSettings& settings = request->settings;
  if (args.positional.empty()) return UsageError(context, kName, "no input drawing given");
  std::optional<std::string> target_name = args.Value("target");
  if (!target_name) return UsageError(context, kName, "--target is required (mech6 or genius)");
  settings.target = FindTarget(*target_name);
  if (!settings.target)
    return UsageError(context, kName, "unknown --target '" + *target_name + "' (mech6 or genius)");

  request->output = args.Value("output");
  request->out_dir = args.Value("out-dir");
  const auto& output = request->output;
  const auto& out_dir = request->out_dir;
  if (output && out_dir) return UsageError(context, kName, "-o and --out-dir exclude each other");
  if (output && args.positional.size() > 1)
    return UsageError(context, kName, "-o names one output; use --out-dir for several inputs");
  if ((output && output->empty()) || (out_dir && out_dir->empty()))
    return UsageError(context, kName, "an empty output name");
  settings.quiet = args.Has("quiet");
  settings.verbose = args.Has("verbose");
  if (settings.quiet && settings.verbose)
    return UsageError(context, kName, "-q and -v exclude each other");
  settings.force = args.Has("force");
  settings.strict = args.Has("strict");
  settings.dry_run = args.Has("dry-run");
  settings.verify = !args.Has("no-verify");
  if (args.Has("layers") && std::string(settings.target->name) != "genius")
    return UsageError(context, kName, "--layers answers the Genius layer dialog (--target genius)");
  request->recursive = args.Has("recursive");
  request->transcripts = args.Has("transcripts");
  request->overwrite = args.Has("overwrite");
  std::string err;
  if (auto jobs = args.Value("jobs"); jobs && !ParseJobCount(*jobs, &request->jobs, &err))
    return UsageError(context, kName, err);

  request->transcript = args.Value("transcript");
  if (request->transcript && request->transcript->empty())
    return UsageError(context, kName, "--transcript needs a file name");
  request->report = args.Value("report");
  if (request->report && !HasReportEnding(*request->report))
    return UsageError(context, kName,
                      "--report writes FILE.json or FILE.html, not '" + *request->report + "'");
  settings.report = request->report.has_value();

  std::string bundled = BundledTemplatesDir() + "/" + settings.target->template_file;
  if (!BuildAnswers(args, bundled, &settings.answers, &err)) return UsageError(context, kName, err);
  settings.reference = args.Value("reference").value_or("auto");
  return -1;
}

// The conversions to run, every output decided and checked before anything
// is converted. Returns -1, or the exit code of a failure it reported.
int PlanJobs(const ParsedArgs& args, const ConvertRequest& request, CommandContext& context,
             std::vector<ConvertJob>* jobs, bool* batch) {
  const ConvertSettings& settings = request.settings;
  std::string err;
  if (const std::optional<std::string>& chosen = settings.answers.templates.front()) {
    if (!IsReadableFile(*chosen, &err)) return Fail(context, kExitInputError, "template " + err);
  }
  // A missing output folder is made with its parents, unless nothing is
  // to be written into it.
  if (request.out_dir && !IsDirectory(*request.out_dir)) {
    struct stat info {};
    if (stat(request.out_dir->c_str(), &info) == 0)
      return Fail(context, kExitInputError, *request.out_dir + ": not a directory");
    if ((!settings.dry_run || request.transcripts) && !MakeFolders(*request.out_dir, &err))
      return Fail(context, kExitInputError, err);
  }

  std::vector<InputFile> inputs;
  std::vector<std::string> empty_folders;
  std::vector<std::string> skip;
  if (request.out_dir) skip.push_back(*request.out_dir);
  if (!CollectInputs(args.positional, request.recursive, skip, &inputs, &empty_folders, &err))
    return Fail(context, kExitInputError, err);
  // A folder without drawings fails as an input of its own (below).
  if (inputs.empty()) return Fail(context, kExitInputError, "no drawing to convert");
  *batch = inputs.size() > 1 || std::any_of(inputs.begin(), inputs.end(),
                                            [](const InputFile& f) { return f.from_folder(); });
  if (request.output && *batch)
    return UsageError(context, kName, "-o names one output; use --out-dir for a folder");

  std::vector<std::string> outputs;
  for (const InputFile& input : inputs)
    outputs.push_back(request.output ? *request.output
                                     : PlannedOutputPath(input, settings.target->suffix,
                                                         request.out_dir.value_or("")));
  // A folder converted before holds the earlier outputs beside their inputs;
  // a file that only has such a name is converted like any other.
  const std::string producer = std::string(kName) + " " + settings.target->name;
  if (!request.output) {
    DropEarlierOutputs(&inputs, &outputs, [&](const std::string& path, const std::string& input) {
      return IsEarlierOutput(path, OutputMark(producer, input));
    });
  }

  std::vector<std::string> input_paths;
  for (const InputFile& input : inputs) input_paths.push_back(input.path);
  std::set<std::string> planned;  // outputs, also of a dry run
  std::set<std::string> written;  // files this run writes besides the report
  std::string refused;            // files that are there and must not be replaced
  size_t refused_count = 0;       // (the first ten are named)
  auto may_replace = [&](const std::string& path, const std::string& mark, bool overwrite) {
    std::string problem = ReplaceProblem(path, mark, overwrite);
    if (problem.empty() || ++refused_count > 10) return;
    refused += (refused.empty() ? "'" : ", '") + path + "' (" + problem + ")";
  };
  for (size_t i = 0; i < inputs.size(); ++i) {
    const std::string& output = outputs[i];
    if (!settings.dry_run && !CheckOutputIsNoInput(output, input_paths, &err))
      return Fail(context, kExitUsage, err);
    if (!planned.insert(ResolvedPath(output)).second)
      return UsageError(context, kName, "two inputs would both be written to '" + output + "'");
    std::string mark = OutputMark(producer, inputs[i].path);
    if (!settings.dry_run) {
      written.insert(ResolvedPath(output));
      may_replace(output, mark, request.overwrite);
    }
    if (request.transcripts) {
      std::string transcript = TranscriptPathFor(output);
      if (!CheckOutputIsNoInput(transcript, input_paths, &err))
        return Fail(context, kExitUsage, err);
      written.insert(ResolvedPath(transcript));
      may_replace(transcript, TranscriptMark(mark), request.overwrite);
    }
    jobs->push_back({inputs[i].path, output, mark});
  }
  if (request.transcript) {
    if (!CheckOutputIsNoInput(*request.transcript, input_paths, &err))
      return Fail(context, kExitUsage, err);
    if (written.count(ResolvedPath(*request.transcript)))
      return UsageError(context, kName, "--transcript names an output");
    written.insert(ResolvedPath(*request.transcript));
    may_replace(*request.transcript, "", true);
  }
  if (request.report) {
    if (!CheckOutputIsNoInput(*request.report, input_paths, &err))
      return Fail(context, kExitUsage, err);
    if (written.count(ResolvedPath(*request.report)))
      return UsageError(context, kName, "--report names an output");
    may_replace(*request.report, "", true);
  }
  if (refused_count > 10) refused += " and " + std::to_string(refused_count - 10) + " more";
  if (!refused.empty())
    return Fail(
        context, kExitUsage,
        "not replacing " + refused + "; nothing converted (--overwrite replaces regular files)");
  // The mirrored folders below --out-dir, made before the workers start.
  if (request.out_dir && (!settings.dry_run || request.transcripts)) {
    for (const ConvertJob& job : *jobs)
      if (!MakeFoldersBelow(*request.out_dir, job.output, &err))
        return Fail(context, kExitInputError, err);
  }
  // Every folder written into takes a file, before anything is converted
  // (and loses the temporaries an interrupted run left there).
  std::vector<std::string> targets;
  for (const ConvertJob& job : *jobs) {
    if (!settings.dry_run) targets.push_back(job.output);
    if (request.transcripts) targets.push_back(TranscriptPathFor(job.output));
  }
  if (request.transcript) targets.push_back(*request.transcript);
  if (request.report) targets.push_back(*request.report);
  std::set<std::string> folders;
  for (const std::string& target : targets) {
    size_t slash = target.rfind('/');
    if (!folders.insert(slash == std::string::npos ? "" : target.substr(0, slash)).second) continue;
    if (!PrepareOutputFolder(target, &err)) return Fail(context, kExitInputError, err);
  }
  return -1;
}

// Writes the transcripts and the report; returns the worst exit code.
int WriteRecords(const ConvertRequest& request, const std::vector<ConvertJob>& jobs,
                 const std::vector<ConversionResult>& results, CommandContext& context) {
  int worst = kExitOk;
  std::string err;
  auto written = [&](bool ok) {
    if (!ok) worst = std::max(worst, Fail(context, kExitInputError, err));
  };
  if (request.transcripts) {
    for (size_t i = 0; i < jobs.size(); ++i) {
      const ConversionResult& result = results[i];
      // A drawing the host never opened has its error as its transcript.
      std::string text = result.transcript.empty() ? result.error : result.transcript;
      if (!text.empty() && text.back() != '\n') text += "\n";
      written(WriteTextFile(TranscriptPathFor(jobs[i].output), text, &err,
                            TranscriptMark(jobs[i].mark)));
    }
  }
  if (request.transcript) {
    std::string text;
    for (size_t i = 0; i < jobs.size(); ++i) {
      const std::string& one = results[i].transcript;
      if (jobs.size() > 1 && !one.empty()) text += "==> " + jobs[i].input + " <==\n";
      text += one;
      if (!one.empty() && one.back() != '\n') text += "\n";
    }
    written(WriteTextFile(*request.transcript, text, &err));
  }
  if (request.report) {
    std::vector<report::DrawingReport> entries;
    for (const ConversionResult& result : results)
      if (result.has_report) entries.push_back(result.report);
    written(report::WriteReport(*request.report, entries, &err));
  }
  return worst;
}

int Convert(const ParsedArgs& args, CommandContext& context) {
  auto start = std::chrono::steady_clock::now();
  ConvertRequest request;
  if (int code = ReadRequest(args, context, &request); code >= 0) return code;
  std::vector<ConvertJob> jobs;
  bool batch = false;
  try {
    if (int code = PlanJobs(args, request, context, &jobs, &batch); code >= 0) return code;
  } catch (const std::bad_alloc&) {
    // Out of memory before any drawing was read: the message names them all.
    std::string inputs;
    for (const std::string& input : args.positional) inputs += (inputs.empty() ? "" : ", ") + input;
    return Fail(context, kExitInputError, "not enough memory to convert " + inputs);
  }
  const ConvertSettings& settings = request.settings;

  std::vector<ConversionResult> results;
  if (!batch) {
    results.push_back(ConvertDrawing(jobs[0], settings, context));
  } else {
    BatchOptions options;
    options.parallel = PlannedParallelJobs(request.jobs, jobs.size(), Processors());
    options.progress = !settings.quiet && &context.err == &std::cerr && isatty(STDERR_FILENO);
    options.columns = TerminalColumns();
    results = RunBatch(jobs, settings, options, context);
  }

  int worst = WriteRecords(request, jobs, results, context);
  for (const ConversionResult& result : results) worst = std::max(worst, result.exit_code);
  if (batch && !settings.quiet) {
    std::vector<SummaryRow> rows;
    for (size_t i = 0; i < jobs.size(); ++i)
      rows.push_back({jobs[i].input, results[i], settings.dry_run});
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    context.out << "\n" << FormatSummary(rows, seconds);
  }
  return worst;
}

}  // namespace

CommandSpec MakeConvertCommand() {
  CommandSpec decl;
  decl.name = kName;
  decl.summary = "convert exported drawings for the Mech6 or the Genius 14 add-on";
  decl.usage = "IN.dxf|DIR... --target mech6|genius [-o OUT.dxf | --out-dir DIR] [options]";
  decl.description =
      "Loads each drawing, checks that its current space is a layout holding drawing\n"
      "views, runs the conversion command (DRAVOLIN1 for mech6, DRAVOLINGEN for genius)\n"
      "with the answers below, lets the scripts it queues run, and writes the result\n"
      "(default: IN-mech6.dxf or IN-genius.dxf beside the input) through a temporary\n"
      "file. The displayed value of every dimension is compared before and after; a\n"
      "changed one is listed. Nothing is written when the conversion stops early or a\n"
      "step the host runs for it is refused or fails. A result that is written but\n"
      "doubtful (a changed dimension value, entities left on the layout, a chosen line\n"
      "weight no entity carries) converts with warnings; --strict makes them failures.\n"
      "The template defaults to the bundled one of the target.\n\n"
      "A folder stands for the .dxf files in it (any case; -r: below it too); with\n"
      "--out-dir the outputs mirror the tree below each folder given. Several drawings\n"
      "convert in worker processes, --jobs at a time, and a summary table follows.\n"
      "A drawing that fails does not stop the others. Exit code: the worst of all.";
  decl.options = {
      {"target", 0, "mech6|genius", "the add-on to convert for (required)"},
      {"output", 'o', "FILE", "output drawing (one input only)"},
      {"out-dir", 0, "DIR", "write the outputs into DIR (an existing folder)"},
      {"recursive", 'r', "", "take the .dxf files below the folders given, too"},
      {"jobs", 'j', "N", "convert N drawings at a time (default: one per processor)"},
      {"overwrite", 0, "", "replace existing files that an earlier conversion did not write"},
  };
  for (OptionSpec& option : AnswerOptionSpecs()) decl.options.push_back(option);
  std::vector<OptionSpec> more = {
      {"transcript", 0, "FILE", "write the host's transcripts (UTF-8) to FILE"},
      {"transcripts", 0, "", "keep each drawing's transcript beside it: OUT.transcript.txt"},
      {"report", 0, "FILE", "write a report of every drawing: FILE.json or FILE.html"},
      {"force", 0, "", "convert even when the current space holds no views or outlying entities"},
      {"strict", 0, "", "fail a drawing that would convert with warnings (nothing written)"},
      {"dry-run", 0, "", "convert and check, but write no drawing"},
      {"no-verify", 0, "", "skip the check that no data was lost (it is on by default)"},
      {"quiet", 'q', "", "print errors only"},
      {"verbose", 'v', "", "print the host's transcript as it runs"},
  };
  decl.options.insert(decl.options.end(), more.begin(), more.end());
  decl.run = Convert;
  return decl;
}

}  // namespace cli
