// The conversion report: per drawing, what the conversion changed, the
// dimension-value check, and pictures of the drawing before and after.
//
// A conversion takes a Snapshot of the loaded drawing before the module
// runs (the drawing is changed in place), then makes a DrawingReport from the
// snapshot and the converted drawing. A DrawingReport holds only text, so a
// worker process can hand it to the parent as it is; WriteReport joins the
// entries into one JSON or one self-contained HTML file.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/dimension_check.h"
#include "host/database/drawing.h"

namespace cli::report {

// Facts about a drawing before its conversion, including its picture.
class Snapshot;

struct SnapshotDeleter {
  void operator()(Snapshot* snapshot) const;
};
using SnapshotPtr = std::unique_ptr<Snapshot, SnapshotDeleter>;

SnapshotPtr TakeSnapshot(const host::Drawing& drawing);

struct DrawingReport {
  std::string input;
  std::string output;     // empty when nothing was written
  std::string target;     // "mech6" or "genius"
  int exit_code = 0;      // the program's exit code for this drawing
  std::string error;      // why it failed, empty when it converted
  std::string json;       // one JSON object (UTF-8)
  std::string html;       // one HTML <section> with both pictures (UTF-8)
  std::string status;     // one word or a few: "converted", "failed", ...
  std::string summary{};  // its count cells in the HTML summary table; empty when it failed
};

// The report of a converted drawing. The transcript is the host's (UTF-8);
// warnings (UTF-8) make it "converted with warnings".
DrawingReport MakeDrawingReport(const Snapshot& before, const host::Drawing& after,
                                const ConversionCheck& check, const std::string& transcript,
                                const std::string& input, const std::string& output,
                                const std::string& target,
                                const std::vector<std::string>& warnings = {});

// The report of a drawing that did not convert; with its picture before
// when it was loaded.
DrawingReport FailedDrawingReport(const std::string& input, const std::string& target,
                                  int exit_code, const std::string& error,
                                  const Snapshot* before = nullptr);

// Writes the entries as JSON (path ending in .json) or HTML (.html, .htm),
// through a temporary file. False with *err set when the path has another
// ending or cannot be written.
bool WriteReport(const std::string& path, const std::vector<DrawingReport>& entries,
                 std::string* err);

}  // namespace cli::report
