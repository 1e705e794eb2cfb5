// Converts many drawings, each in a worker process of its own, several at a
// time; shows the progress on a terminal and each drawing's lines in the
// order the drawings were given.
#pragma once

#include <vector>

#include "cli/command.h"
#include "cli/conversion_result.h"
#include "cli/convert_one.h"

namespace cli {

struct BatchOptions {
  size_t parallel = 1;
  bool progress = false;  // draw a progress line on context.err (a terminal)
  size_t columns = 80;    // the terminal's width
};

// The results in the order of jobs. A worker that dies is reported as that
// drawing's failure ("crashed", exit code 3); the others go on.
std::vector<ConversionResult> RunBatch(const std::vector<ConvertJob>& jobs,
                                       const ConvertSettings& settings, const BatchOptions& options,
                                       CommandContext& context);

}  // namespace cli
