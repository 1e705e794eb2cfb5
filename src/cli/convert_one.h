// The conversion of one drawing: load, check that it is an export the
// conversion starts from, run the conversion command in a host with the
// module loaded, compare the dimensions before and after, write the result.
#pragma once

#include <string>

#include "cli/command.h"
#include "cli/conversion_result.h"
#include "host/ui/answers.h"

namespace cli {

struct Target {
  const char* name;
  const char* command;        // the module's conversion command
  const char* suffix;         // of the default output name
  const char* template_file;  // bundled template
};

// "mech6" or "genius"; nullptr for another name.
const Target* FindTarget(const std::string& name);

struct ConvertSettings {
  const Target* target = nullptr;
  host::Answers answers;
  std::string reference = "auto";
  bool force = false;
  bool strict = false;  // a warning fails the drawing: nothing is written
  bool dry_run = false;
  bool quiet = false;
  bool verbose = false;
  bool report = false;  // make the drawing's report entry
  bool verify = true;   // check that no data was lost before writing
};

struct ConvertJob {
  std::string input;
  std::string output;
  std::string mark;  // kept with the output (see OutputMark)
};

// Converts one drawing. The result lines go to context.out (unless quiet),
// an error to context.err as one line; the result says how it went.
ConversionResult ConvertDrawing(const ConvertJob& job, const ConvertSettings& settings,
                                CommandContext& context);

}  // namespace cli
