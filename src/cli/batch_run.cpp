#include "cli/batch_run.h"

#include <optional>
#include <ostream>
#include <set>
#include <sstream>

#include "cli/batch_summary.h"
#include "cli/terminal_text.h"
#include "cli/worker_pool.h"

namespace cli {

namespace {

// The result of a drawing whose worker did not hand one back.
ConversionResult LostResult(const ConvertJob& job, const ConvertSettings& settings,
                            const std::string& failure) {
  ConversionResult result;
  result.crashed = true;
  result.exit_code = kExitHostAbort;
  result.error = job.input + ": " + failure + "; nothing written";
  result.err = "dravolin: error: " + TerminalText(result.error) + "\n";
  if (settings.report) {
    result.has_report = true;
    result.report =
        report::FailedDrawingReport(job.input, settings.target->name, kExitHostAbort, result.error);
  }
  return result;
}

class Batch {
 public:
  Batch(const std::vector<ConvertJob>& jobs, const ConvertSettings& settings,
        const BatchOptions& options, CommandContext& context)
      : jobs_(jobs),
        settings_(settings),
        options_(options),
        context_(context),
        results_(jobs.size()) {}

  std::vector<ConversionResult> Run() {
    WorkerPool pool(options_.parallel);
    std::string err;
    bool ran = pool.Run(
        jobs_.size(), [this](size_t index) { return Work(index); },
        [this](size_t index) { Started(index); },
        [this](size_t index, WorkerOutcome outcome) { Done(index, std::move(outcome)); }, &err);
    if (!ran) {
      for (size_t i = 0; i < jobs_.size(); ++i)
        if (!results_[i]) results_[i] = LostResult(jobs_[i], settings_, err);
      ShowFinished();
    }
    ClearProgress();
    std::vector<ConversionResult> results;
    for (std::optional<ConversionResult>& result : results_) results.push_back(std::move(*result));
    return results;
  }

 private:
  // In the worker: one conversion, its printed lines kept in the result.
  std::string Work(size_t index) {
    std::istringstream in;
    std::ostringstream out, err;
    CommandContext context{in, out, err};
    ConversionResult result = ConvertDrawing(jobs_[index], settings_, context);
    result.out = out.str();
    result.err = err.str();
    return EncodeResult(result);
  }

  void Started(size_t index) {
    running_.insert(index);
    DrawProgress();
  }

  void Done(size_t index, WorkerOutcome outcome) {
    running_.erase(index);
    ConversionResult result;
    if (!outcome.finished)
      result = LostResult(jobs_[index], settings_, outcome.failure);
    else if (!DecodeResult(outcome.result, &result))
      result = LostResult(jobs_[index], settings_, "the conversion process sent no whole result");
    ++done_;
    if (result.exit_code != 0) ++failed_;
    if (result.exit_code == 0 && !result.warnings.empty()) ++warned_;
    results_[index] = std::move(result);
    ShowFinished();
    DrawProgress();
  }

  // Prints the lines of the drawings finished so far, in the order given.
  void ShowFinished() {
    while (shown_ < results_.size() && results_[shown_]) {
      const ConversionResult& result = *results_[shown_++];
      if (result.out.empty() && result.err.empty()) continue;
      ClearProgress();
      context_.out << result.out << std::flush;
      context_.err << result.err << std::flush;
    }
  }

  void DrawProgress() {
    if (!options_.progress) return;
    // The drawing shown is the one that has been running longest.
    std::string current = running_.empty() ? "" : jobs_[*running_.begin()].input;
    context_.err << "\r\x1b[K"
                 << ProgressLine(done_, jobs_.size(), failed_, current, running_.size(),
                                 options_.columns > 1 ? options_.columns - 1 : 1, warned_)
                 << std::flush;
    progress_shown_ = true;
  }

  void ClearProgress() {
    if (!progress_shown_) return;
    context_.err << "\r\x1b[K" << std::flush;
    progress_shown_ = false;
  }

  const std::vector<ConvertJob>& jobs_;
  const ConvertSettings& settings_;
  const BatchOptions& options_;
  CommandContext& context_;
  std::vector<std::optional<ConversionResult>> results_;
  size_t shown_ = 0, done_ = 0, failed_ = 0, warned_ = 0;
  std::set<size_t> running_;
  bool progress_shown_ = false;
};

}  // namespace

std::vector<ConversionResult> RunBatch(const std::vector<ConvertJob>& jobs,
                                       const ConvertSettings& settings, const BatchOptions& options,
                                       CommandContext& context) {
  return Batch(jobs, settings, options, context).Run();
}

}  // namespace cli
