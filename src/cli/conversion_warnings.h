// What makes a written conversion doubtful. Such a drawing converts "with
// warnings": it is written and the run succeeds, unless --strict turns the
// warnings into a failure. Each warning is one line (UTF-8).
#pragma once

#include <string>
#include <vector>

#include "cli/dimension_check.h"
#include "cli/drawing_survey.h"
#include "host/database/drawing.h"
#include "host/ui/answers.h"

namespace cli {

// Dimensions whose shown value the conversion changed.
std::vector<std::string> DimensionWarnings(const ConversionCheck& check);

// Entities the conversion left on the layout it started from, besides its
// viewports, counted by layer. The selection of all objects skips frozen
// layers, as a CAD host's does, so their entities stay where they were.
std::vector<std::string> LeftOnLayoutWarnings(const host::Drawing& after, host::ContainerId layout);

// Line weights typed into the line-weight dialog that no entity of the
// drawing carries (before the conversion): the conversion compares the
// text chosen with the text of each entity's line weight ("0.50"), so the
// layer it was chosen for gets nothing. Names the line weights the drawing
// does carry.
std::vector<std::string> LineWeightWarnings(const DrawingSurvey& before,
                                            const host::Answers& answers);

// A line weight in hundredths of a millimetre as the dialog shows it:
// "0.50 mm", "ByLayer", "ByBlock", "Default".
std::string LineWeightName(int hundredths);

}  // namespace cli
