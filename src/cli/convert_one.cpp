#include "cli/convert_one.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <ostream>

#include "cli/data_check.h"
#include "cli/dimension_check.h"
#include "cli/drawing_io.h"
#include "cli/drawing_survey.h"
#include "cli/host_run.h"
#include "cli/report/report.h"
#include "host/cmdline/command_line.h"
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
    context_.err << (prefixed ? "dravolin: error: " : "") << message << "\n";
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
    std::unique_ptr<host::Drawing> drawing = LoadDrawing(job_.input, &err);
    if (!drawing) return Failed(kExitInputError, err);
    before_ = SurveyDrawing(*drawing);
    result_.entities_before = before_.main_entities;
    // The drawing is changed in place; the report's picture of it and the
    // data check's view of its records come first. A drawing refused below
    // has its picture in the report too.
    if (settings_.report) snapshot_ = report::TakeSnapshot(*drawing);
    std::string problem = StartProblem(before_, settings_);
    if (!problem.empty()) return Failed(kExitInputError, job_.input + ": " + problem);
    if (settings_.verify) data_before_ = TakeDataSnapshot(*drawing);

    host::AnswersChannel channel(settings_.answers);
    if (settings_.verbose) channel.set_live_output(&context_.out);
    {
      std::unique_ptr<HostRun> host = HostRun::Start(std::move(drawing), &channel, &err);
      if (!host) return Failed(kExitHostAbort, err);
      ConvertInHost(*host, channel);
    }  // the module has been unloaded and the session closed
    result_.transcript = Utf8(channel.transcript());
  }

  void ConvertInHost(HostRun& host, const host::AnswersChannel& channel) {
    if (!host.RunCommand(settings_.target->command))
      return Failed(kExitHostAbort, job_.input + ": the host aborted, nothing written: " +
                                        Utf8(host.abort_message()));
    bool stopped = std::any_of(channel.messages().begin(), channel.messages().end(),
                               [](const auto& shown) { return shown.text == kNoReferenceMessage; });
    if (stopped)
      return Failed(kExitInputError,
                    job_.input + ": the conversion stopped, nothing written: no reference " +
                        "dimension was picked (\"" + Utf8(kNoReferenceMessage) + "\")");

    ConversionCheck check = CompareDrawings(before_, SurveyDrawing(host.drawing()));
    result_.entities_after = check.entities_after;
    result_.dimensions_compared = check.dimensions_compared;
    result_.dimensions_changed = check.changed.size();
    std::string check_text = FormatCheck(check);
    host.session().command_line().Print(check_text + "\n");

    // A conversion that lost data writes nothing: the input stays the only
    // copy, and the problems are named.
    if (settings_.verify) {
      DataCheckResult data = CheckNoDataLost(data_before_, host.drawing());
      std::string data_text = FormatDataCheck(data);
      host.session().command_line().Print("\n" + data_text + "\n");
      check_text += "\n" + data_text;
      if (!data.ok()) {
        Failed(kExitInputError, job_.input + ": the data check failed, nothing written");
        context_.err << Utf8(Indented("\n" + data_text)) << "\n";
        return;
      }
    }

    std::string err;
    if (!settings_.dry_run && !SaveDrawing(host.drawing(), job_.output, &err))
      return Failed(kExitInputError, err);
    host.UnloadModule();
    result_.converted = true;
    if (settings_.report) {
      result_.has_report = true;
      result_.report = report::MakeDrawingReport(
          *snapshot_, host.drawing(), check, Utf8(channel.transcript()), job_.input,
          settings_.dry_run ? "" : job_.output, settings_.target->name);
    }
    if (settings_.quiet) return;
    context_.out << job_.input << " -> " << job_.output
                 << (settings_.dry_run ? " (dry run, not written)" : "") << " ("
                 << settings_.target->name << ")\n";
    // With -v the check has just been shown in the transcript.
    if (!settings_.verbose) context_.out << Utf8(Indented(check_text)) << "\n";
  }

  const ConvertJob& job_;
  const ConvertSettings& settings_;
  CommandContext& context_;
  DrawingSurvey before_;
  report::SnapshotPtr snapshot_;
  DataSnapshot data_before_;
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
  return Conversion(job, settings, context).Run();
}

}  // namespace cli
