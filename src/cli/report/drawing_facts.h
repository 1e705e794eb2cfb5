// What the report compares of a drawing before and after its conversion:
// each main entity's type and display properties by handle, the layer
// table, the counts per layer and space, the dimensions' text and DIMLFAC.
// Texts are in code page 1252.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "cli/drawing_survey.h"
#include "host/database/drawing.h"

namespace cli::report {

struct EntityFacts {
  std::string type;
  std::string layer;
  // As the CHANGE command speaks of them: "BYLAYER", "BYBLOCK", a name, a
  // colour number, a width such as "0.35 mm".
  std::string linetype;
  std::string lineweight;
  std::string colour;
  std::string text;               // a DIMENSION's text override (group 1)
  std::optional<double> dimlfac;  // a DIMLFAC override in its DSTYLE data
};

struct DrawingFacts {
  bool by_handle = false;                                 // every main entity has a handle
  std::unordered_map<std::string, EntityFacts> entities;  // by upper-case handle
  std::vector<std::string> order;                         // handles in walk order
  std::vector<std::string> layer_table;                   // names, table order
  std::vector<LayerFacts> layers;                         // counts, as the survey has them
  std::vector<SpaceFacts> spaces;
};

DrawingFacts GatherFacts(const host::Drawing& drawing);

// The lineweight text of a group 370 value ("" for absent).
std::string LineweightText(std::string_view value);

}  // namespace cli::report
