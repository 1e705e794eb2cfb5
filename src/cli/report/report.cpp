#include "cli/report/report.h"

#include <cctype>

#include "cli/report/changes.h"
#include "cli/report/drawing_facts.h"
#include "cli/report/pictures.h"
#include "cli/report/report_parts.h"
#include "dxf/document.h"

namespace cli::report {

class Snapshot {
 public:
  DrawingFacts facts;
  std::vector<SpacePicture> pictures;
};

void SnapshotDeleter::operator()(Snapshot* snapshot) const { delete snapshot; }

SnapshotPtr TakeSnapshot(const host::Drawing& drawing) {
  SnapshotPtr snapshot(new Snapshot);
  snapshot->facts = GatherFacts(drawing);
  snapshot->pictures = DrawPictures(drawing);
  return snapshot;
}

DrawingReport MakeDrawingReport(const Snapshot& before, const host::Drawing& after,
                                const ConversionCheck& check, const std::string& transcript,
                                const std::string& input, const std::string& output,
                                const std::string& target,
                                const std::vector<std::string>& warnings) {
  Changes changes = CompareFacts(before.facts, GatherFacts(after));
  std::vector<SpacePicture> after_pictures = DrawPictures(after);
  ConvertedDrawing drawing;
  drawing.input = input;
  drawing.output = output;
  drawing.target = target;
  drawing.changes = &changes;
  drawing.check = &check;
  drawing.before = &before.pictures;
  drawing.after = &after_pictures;
  drawing.transcript = transcript;
  drawing.warnings = &warnings;
  drawing.max_primitives = host::render::SvgOptions().max_primitives;

  DrawingReport report;
  report.input = input;
  report.output = output;
  report.target = target;
  report.status = drawing.status();
  report.json = DrawingJson(drawing);
  report.html = DrawingHtml(drawing);
  report.summary = SummaryCells(drawing);
  return report;
}

DrawingReport FailedDrawingReport(const std::string& input, const std::string& target,
                                  int exit_code, const std::string& error, const Snapshot* before) {
  DrawingReport report;
  report.input = input;
  report.target = target;
  report.exit_code = exit_code;
  report.status = "failed";
  report.error = error;
  report.json = FailedJson(report);
  report.html = FailedHtml(report, before ? &before->pictures : nullptr);
  return report;
}

namespace {

bool EndsWithNoCase(const std::string& text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    char c = text[text.size() - suffix.size() + i];
    if (std::tolower(static_cast<unsigned char>(c)) != suffix[i]) return false;
  }
  return true;
}

}  // namespace

bool WriteReport(const std::string& path, const std::vector<DrawingReport>& entries,
                 std::string* err) {
  std::string text;
  if (EndsWithNoCase(path, ".json")) {
    text = JsonDocument(entries);
  } else if (EndsWithNoCase(path, ".html") || EndsWithNoCase(path, ".htm")) {
    text = HtmlDocument(entries);
  } else {
    *err = path + ": a report is written as .json or .html";
    return false;
  }
  dxf::OutputFile out;
  if (!out.Open(path, err)) return false;
  out.Write(text);
  return out.Commit(err);
}

}  // namespace cli::report
