// What the conversion of one drawing came to: its exit code, what it
// printed, its timing, counts and dimension check, its transcript and its
// report entry. A worker process hands it to the parent as text
// (Encode/Decode), so everything in it is plain data.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/report/report.h"

namespace cli {

struct ConversionResult {
  int exit_code = 0;
  std::string out;  // what the conversion printed (UTF-8)
  std::string err;
  std::string error;  // the error line without "dravolin: error: ", "" when converted
  double seconds = 0;
  bool converted = false;  // the conversion ran to the end (written, or a dry run)
  size_t entities_before = 0;
  size_t entities_after = 0;
  size_t dimensions_compared = 0;
  size_t dimensions_changed = 0;
  // What makes the written result doubtful, one line each (UTF-8): the
  // drawing converted "with warnings".
  std::vector<std::string> warnings;
  std::string transcript;  // the host's (UTF-8); "" when the host never ran
  bool has_report = false;
  report::DrawingReport report;
  // Set by the parent when the worker process died; not part of the text.
  bool crashed = false;
};

std::string EncodeResult(const ConversionResult& result);
// False when text is not a whole encoded result.
bool DecodeResult(const std::string& text, ConversionResult* result);

}  // namespace cli
