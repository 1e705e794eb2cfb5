// What a conversion of many drawings shows: a progress line while it runs
// (on a terminal) and a table of every drawing at the end.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/conversion_result.h"
#include "cli/text_width.h"

namespace cli {

struct SummaryRow {
  std::string file;
  ConversionResult result;
  bool dry_run = false;
};

// The word for a drawing's result: "converted", "dry run", either "with
// warnings", "failed" (an input error), "aborted" (a host abort) or
// "crashed" (the worker died).
std::string ResultWord(const ConversionResult& result, bool dry_run);

// The table: file, result, seconds, entities before -> after, dimension
// check; then a line of totals. Columns are aligned by characters, so names
// with accented letters line up too.
std::string FormatSummary(const std::vector<SummaryRow>& rows, double total_seconds);

// One line of progress, at most width columns, without a line end:
// "[#####     ] 3/10, 1 failed, 2 with warnings  sub/part.dxf". current is
// the drawing last started ("" when none runs); running, how many are
// running; warned, how many converted with warnings.
std::string ProgressLine(size_t done, size_t total, size_t failed, const std::string& current,
                         size_t running, size_t width, size_t warned = 0);

}  // namespace cli
