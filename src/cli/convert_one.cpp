#include "cli/convert_one.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <new>
#include <optional>
#include <ostream>

#include "cli/conversion_warnings.h"
#include "cli/data_check.h"
#include "cli/dimension_check.h"
#include "cli/drawing_io.h"
#include "cli/drawing_survey.h"
#include "cli/entity_points.h"
#include "cli/host_run.h"
#include "cli/input_checks.h"
#include "cli/large_blocks.h"
#include "cli/leave_to_exit.h"
#include "cli/report/report.h"
#include "cli/terminal_text.h"
#include "dxf/document.h"
#include "host/cmdline/command_line.h"
#include "host/database/handle_check.h"
#include "host/two_halves.h"
#include "host/ui/answers_channel.h"
#include "host/ui/text_encoding.h"

namespace cli {

namespace {

constexpr Target kTargets[] = {
    {"mech6", "DRAVOLIN1", "-mech6", "Mech6.dwt"},
    {"genius", "DRAVOLINGEN", "-genius", "Genius14.dwt"},
};

// The message box the conversion shows when it found no reference factor
// and stops before changing anything.
constexpr char kNoReferenceMessage[] = "Sie müssen eine Bemaßung wählen!";

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

// The handles a --reference answer may name: those of the dimensions with a
// DIMLFAC override, the first twenty.
std::string ReferenceHandles(const DrawingSurvey& survey) {
  std::string list;
  size_t listed = 0, total = 0;
  for (const DimensionFacts& dimension : survey.dimensions) {
    if (!dimension.override_dimlfac || dimension.handle.empty()) continue;
    if (++total <= 20) list += (listed++ ? ", " : "") + dimension.handle;
  }
  if (total == 0) return "; no dimension carries one";
  if (total > listed) list += " and " + std::to_string(total - listed) + " more";
  return "; the handles that do: " + list + " (see 'dravolin info')";
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
                 : "the " + dimension.type + " " + reference + " carries no DIMLFAC override" +
                       ReferenceHandles(survey);
  }
  return "no dimension with the handle " + reference + " carries a DIMLFAC override" +
         ReferenceHandles(survey);
}

// Why the conversion cannot start on this drawing, or "": every problem at
// once, with --force recommended only when it is all that is missing.
std::string StartProblem(const DrawingSurvey& survey, const ConvertSettings& settings) {
  std::string views = settings.force ? "" : RefusalReason(survey);
  std::string reference = ReferenceProblem(survey, settings.reference);
  if (reference.empty()) return views.empty() ? "" : views + "; use --force to convert anyway";
  if (views.empty()) return "cannot convert: " + reference;
  std::string text =
      "does not look like a 3D modeller's drawing export: " + views + ", and " + reference;
  bool names = !survey.modeller_blocks.empty() || !survey.modeller_layers.empty();
  if (!names) text += ", and no block or layer has the modeller's names";
  if (survey.na_texts == 0) text += ", and no dimension text holds \"N/A\"";
  return text + " (--force would not help: the conversion needs a reference factor)";
}

// "3 handle problems, the first: ..." (UTF-8).
std::string HandleProblemsText(const host::HandleProblems& problems) {
  return (problems.total == 1 ? std::string("a handle problem: ")
                              : std::to_string(problems.total) + " handle problems, the first: ") +
         Utf8(problems.listed.front()) + " ('dravolin info' lists them)";
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

// One conversion under way: what it has found so far and how it ends.
class Conversion {
 public:
  Conversion(const ConvertJob& job, const ConvertSettings& settings, CommandContext& context)
      : job_(job), settings_(settings), context_(context) {}

  ConversionResult Run() {
    auto start = std::chrono::steady_clock::now();
    Convert();
    result_.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return std::move(result_);
  }

 private:
  // Ends the conversion with an error line; nothing is written.
  void Failed(int code, const std::string& message, bool prefixed = true) {
    context_.err << (prefixed ? "dravolin: error: " : "") << TerminalText(message) << "\n";
    result_.exit_code = code;
    result_.error = message;
    if (settings_.report) {
      result_.has_report = true;
      result_.report = report::FailedDrawingReport(job_.input, settings_.target->name, code,
                                                   message, snapshot_.get());
    }
  }

  void Convert() {
    std::string err;
    // The drawing is read, and copied for the checks, with large blocks
    // taken from the heap: the lists the load lets go of, and the copy once
    // the checks let it go, then serve the conversion's later blocks and new
    // record texts instead of fresh pages (at a million entities a fifth
    // fewer page faults, for a peak a few MiB higher).
    std::optional<LargeBlocksFromHeap> from_heap(std::in_place);
    std::unique_ptr<host::Drawing> drawing = LoadDrawing(job_.input, &err);
    if (!drawing) return Failed(kExitInputError, err);

    host::AnswersChannel channel(settings_.answers);
    TerminalStream live(context_.out);  // names from the drawing, shown escaped
    if (settings_.verbose) channel.set_live_output(&live);
    std::optional<std::string> refusal;
    std::unique_ptr<HostRun> host;
    bool finished = false;
    auto run_command = [&] {
      host = HostRun::Start(std::move(drawing), &channel, &err);
      if (host) finished = host->RunCommand(settings_.target->command);
    };
    if (settings_.verbose) {
      from_heap.reset();
      // The host's output is shown as it comes: a drawing refused must show
      // none, so the checks come first.
      refusal = CheckLoaded(*drawing);
      if (!refusal) run_command();
    } else {
      // The checks read the drawing as loaded while the host converts it:
      // a copy that views its records as read, on a thread of their own.
      // The conversion's first passes keep one processor busy; the checks
      // would take a fifth of the whole time before them. A drawing they
      // refuse is refused when the conversion beside them has ended, and
      // what the host did is thrown away.
      std::unique_ptr<host::Drawing> loaded = drawing->ViewCopy();
      from_heap.reset();
      host::RunBoth(
          [&] {
            host::OneThreadOnly one_thread;
            refusal = CheckLoaded(*loaded);
            loaded.reset();
          },
          run_command);
    }
    result_.entities_before = before_.main_entities;
    if (refusal) return Failed(kExitInputError, *refusal);
    if (!host) return Failed(kExitHostAbort, err);
    ConvertInHost(*host, channel, finished);
    if (context_.process_ends_after) {
      host->UnloadModule();
      LeaveToProcessExit(host->session().TakeDrawing());
    }
    host.reset();  // the module is unloaded and the session closed
    result_.transcript = Utf8(channel.transcript());
  }

  // The checks of the drawing as loaded, before it changes: its survey,
  // the report's picture of it (a drawing refused has its picture in the
  // report too), where its entities lie and the data check's view of its
  // records. Given a view copy, what they keep views the loaded drawing's
  // own file buffer and outlives the copy. Returns why the drawing is not
  // converted, or nullopt.
  std::optional<std::string> CheckLoaded(const host::Drawing& drawing) {
    before_ = SurveyDrawing(drawing);
    if (settings_.report) snapshot_ = report::TakeSnapshot(drawing);
    // A factor the host cannot use is named first: it is the one fault
    // --force cannot get past.
    std::string problem = ReferenceFactorProblem(before_, settings_.reference);
    if (!problem.empty()) return job_.input + ": cannot convert: " + problem;
    problem = StartProblem(before_, settings_);
    if (!problem.empty()) return job_.input + ": " + problem;
    if (!settings_.force) {
      // Another program may take one record for another: the user decides.
      host::HandleProblems handles = host::FindHandleProblems(drawing);
      if (!handles.empty())
        return job_.input + ": " + HandleProblemsText(handles) + "; use --force to convert anyway";
    }
    // Where the entities of the space the conversion starts from lie;
    // outlying ones are refused unless forced.
    start_space_ = CurrentSpace(drawing);
    std::vector<EntityPoint> measured = MeasureSpace(drawing, start_space_);
    problem = settings_.force ? "" : OutlierProblem(measured);
    if (!problem.empty())
      return job_.input + ": cannot convert: " + problem + "; use --force to convert anyway";
    start_points_ = PlacementSample(measured);
    if (settings_.verify) data_before_ = TakeDataSnapshot(drawing);
    return std::nullopt;
  }

  // Why a step of the conversion did not take effect, or "": a command of
  // the scripts it queued that was refused, cancelled or failed.
  static std::string FailedStep(const host::CommandLine& command_line) {
    const auto& failures = command_line.script_failures();
    if (failures.empty()) return "";
    std::string text = "the host did not carry out the step \"" + Utf8(failures.front().command) +
                       "\": " + Utf8(failures.front().reason);
    if (failures.size() > 1)
      text += " (and " + std::to_string(failures.size() - 1) + " more step(s) after it)";
    return text;
  }

  // The rest of a conversion whose command the host has run (finished:
  // to its end, not aborted).
  void ConvertInHost(HostRun& host, const host::AnswersChannel& channel, bool finished) {
    if (!finished)
      return Failed(kExitHostAbort, job_.input + ": the host aborted, nothing written: " +
                                        Utf8(host.abort_message()));
    bool stopped = std::any_of(channel.messages().begin(), channel.messages().end(),
                               [](const auto& shown) { return shown.text == kNoReferenceMessage; });
    if (stopped)
      return Failed(kExitInputError,
                    job_.input + ": the conversion stopped, nothing written: no reference " +
                        "dimension was picked (\"" + Utf8(kNoReferenceMessage) + "\")");
    if (std::string step = FailedStep(host.session().command_line()); !step.empty())
      return Failed(kExitInputError,
                    job_.input + ": the conversion failed, nothing written: " + step);

    // The drawing is written while it is checked, both only reading it; it
    // is put in place after the checks passed, and thrown away otherwise.
    dxf::OutputFile output;
    std::string output_error;
    bool writing = !settings_.dry_run && output.Open(job_.output, &output_error);
    if (writing) {
      output.SetMark(job_.mark);
      host.drawing().ReadyForReaders();
    }
    std::optional<DataCheckResult> data_check;
    ConversionCheck check;
    auto run_checks = [&] {
      // The data check is made first, though it is shown second: its
      // snapshot of every record is let go before the drawing is surveyed
      // again, since the snapshot and the two surveys together would be the
      // conversion's peak of memory.
      if (settings_.verify) {
        data_check = CheckNoDataLost(data_before_, host.drawing());
        data_before_ = DataSnapshot();
        if (std::optional<double> factor = PickReference(before_, settings_.reference).factor)
          CheckPlacement(start_points_, start_space_, *factor, host.drawing(), &*data_check);
      }
      check = CompareDrawings(before_, SurveyDrawing(host.drawing()));
    };
    if (writing) {
      host::RunBoth(
          [&] {
            host.drawing().Write(&output);
            output.Sync();
          },
          run_checks);
    } else {
      run_checks();
    }
    result_.entities_after = check.entities_after;
    result_.dimensions_compared = check.dimensions_compared;
    result_.dimensions_changed = check.changed.size();
    std::string check_text = FormatCheck(check);
    host.session().command_line().Print(check_text + "\n");

    // A conversion that lost data writes nothing: the input stays the only
    // copy, and the problems are named.
    if (data_check) {
      const DataCheckResult& data = *data_check;
      std::string data_text = FormatDataCheck(data);
      host.session().command_line().Print("\n" + data_text + "\n");
      check_text += "\n" + data_text;
      if (!data.ok()) {
        std::string failed = job_.input + ": the data check failed, nothing written";
        // One problem is said on the error line; more are listed below it.
        if (data.problems.size() == 1)
          return Failed(kExitInputError, failed + ": " + Utf8(data.problems[0]));
        Failed(kExitInputError, failed);
        context_.err << TerminalText(Utf8(Indented("\n" + data_text)), true) << "\n";
        return;
      }
    }

    // Doubtful results are written, unless --strict makes them failures.
    for (auto&& more : {DimensionWarnings(check), LineWeightWarnings(before_, settings_.answers),
                        StartLayoutWarnings(host.drawing())})
      result_.warnings.insert(result_.warnings.end(), more.begin(), more.end());
    if (settings_.strict && !result_.warnings.empty()) {
      Failed(kExitInputError,
             job_.input + ": " + std::to_string(result_.warnings.size()) +
                 " warning(s) under --strict, nothing written: " + result_.warnings.front());
      for (size_t i = 1; i < result_.warnings.size(); ++i)
        context_.err << "  " << TerminalText(result_.warnings[i]) << "\n";
      return;
    }

    if (!settings_.dry_run && !(writing && output.Commit(&output_error)))
      return Failed(kExitInputError, output_error);
    host.UnloadModule();
    result_.converted = true;
    if (settings_.report) {
      result_.has_report = true;
      result_.report = report::MakeDrawingReport(
          *snapshot_, host.drawing(), check, Utf8(channel.transcript()), job_.input,
          settings_.dry_run ? "" : job_.output, settings_.target->name, result_.warnings);
    }
    // Warnings are shown with -q too, as errors are.
    for (const std::string& warning : result_.warnings)
      context_.err << "dravolin: warning: " << TerminalText(job_.input + ": " + warning) << "\n";
    if (settings_.quiet) return;
    context_.out << TerminalText(job_.input) << " -> " << TerminalText(job_.output)
                 << (settings_.dry_run ? " (dry run, not written)" : "") << " ("
                 << settings_.target->name << ")"
                 << (result_.warnings.empty() ? "" : ", with warnings") << "\n";
    // With -v the check has just been shown in the transcript.
    if (!settings_.verbose) context_.out << TerminalText(Utf8(Indented(check_text)), true) << "\n";
  }

  // The entities the conversion starts from, when it started on a layout.
  std::vector<std::string> StartLayoutWarnings(const host::Drawing& after) const {
    if (start_space_ == host::kNoContainer ||
        after.container(start_space_).kind != host::ContainerKind::kLayout)
      return {};
    return LeftOnLayoutWarnings(after, start_space_);
  }

  const ConvertJob& job_;
  const ConvertSettings& settings_;
  CommandContext& context_;
  DrawingSurvey before_;
  report::SnapshotPtr snapshot_;
  DataSnapshot data_before_;
  host::ContainerId start_space_ = host::kNoContainer;
  std::vector<EntityPoint> start_points_;  // the placement check's sample
  ConversionResult result_;
};

}  // namespace

const Target* FindTarget(const std::string& name) {
  for (const Target& target : kTargets)
    if (name == target.name) return &target;
  return nullptr;
}

ConversionResult ConvertDrawing(const ConvertJob& job, const ConvertSettings& settings,
                                CommandContext& context) {
  try {
    return Conversion(job, settings, context).Run();
  } catch (const std::bad_alloc&) {
    // Whatever the conversion held is freed by now: enough to say so.
    ConversionResult result;
    result.exit_code = kExitInputError;
    result.error = "not enough memory to convert " + job.input;
    context.err << "dravolin: error: " << result.error << "\n";
    if (settings.report) {
      result.has_report = true;
      result.report = report::FailedDrawingReport(job.input, settings.target->name,
                                                  result.exit_code, result.error);
    }
    return result;
  }
}

}  // namespace cli
