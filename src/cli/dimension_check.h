// The conversion must not change what a dimension shows: it scales the
// drawing by the reference factor and divides every DIMLFAC override by the
// same factor. This check compares the displayed values of the dimensions
// before and after, by handle, and counts what came and went; and it
// compares what the dimensions' blocks draw: the value in the block text
// before and after, and whether each block text is the one the dimension's
// data gives after the conversion.
#pragma once

#include <string>
#include <vector>

#include "cli/drawing_survey.h"

namespace cli {

struct DimensionChange {
  std::string handle;
  std::string layout;  // where it is after the conversion
  double before = 0;
  double after = 0;
};

// A dimension whose drawn text tells something else than its data.
struct DrawnTextProblem {
  std::string handle;
  std::string layout;
  std::string before;  // the drawn value before (empty when not compared)
  std::string after;   // the drawn text after
};

struct ConversionCheck {
  size_t entities_before = 0;
  size_t entities_after = 0;
  size_t deleted = 0;     // handles gone
  size_t added = 0;       // handles new
  bool by_handle = true;  // false: the drawing has no handles
  size_t dimensions_compared = 0;
  size_t dimensions_gone = 0;
  // DIMENSIONs whose shown value cannot be worked out (a point or the
  // measurement missing or not a number), before or after: not compared,
  // but listed by handle ("" without one).
  std::vector<std::string> unchecked;
  std::vector<DimensionChange> changed;
  size_t drawn_compared = 0;                    // drawn values found before and after
  std::vector<DrawnTextProblem> drawn_changed;  // drawn value differs from before
  std::vector<DrawnTextProblem> drawn_stale;    // drawn text is not what the data gives
  size_t without_drawn_text = 0;                // dimensions whose block draws no text
};

// Values differ when their relative difference exceeds 1e-9.
bool DisplayedValuesDiffer(double before, double after);

ConversionCheck CompareDrawings(const DrawingSurvey& before, const DrawingSurvey& after);

// The check as lines for the command line (each begins with "\n").
std::string FormatCheck(const ConversionCheck& check);

}  // namespace cli
