// Facts about an open drawing, gathered in one walk over its entities: the
// spaces and what they hold, the layers in use, the dimensions with their
// displayed values, and the signs of a 3D modeller's drawing export. The
// info command shows them; convert checks its input and its result with
// them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/database/drawing.h"

namespace cli {

// One entity of model space or a layout that can carry dimension-style
// overrides: a DIMENSION, LEADER or TOLERANCE. Texts are in code page 1252.
struct DimensionFacts {
  std::string type;                   // "DIMENSION", "LEADER", "TOLERANCE"
  std::string handle;                 // "" in a drawing without handles
  std::string layout;                 // "Model", "Layout1", ...
  int kind = 0;                       // group 70 without its flag bits: 0 linear ... 6 ordinate
  std::string style;                  // dimension style name (group 3; "STANDARD" when absent)
  std::optional<double> measurement;  // group 42
  std::optional<double> override_dimlfac;  // "ACAD" DSTYLE pair 1070 144 / 1040
  std::string unreadable_dimlfac;          // that 1040 when it is no finite number
  double style_dimlfac = 1.0;              // the style's 144, 1 when it has none
  bool text_has_na = false;                // the text override (group 1) holds "N/A"
  std::string text;                        // the text override (group 1), "" when none
  // What the dimension's block draws: whether it has a text, the part of
  // that text the override's "<>" stands for, and whether the text is the
  // one a regeneration from the dimension's data gives.
  bool has_drawn_text = false;
  std::optional<std::string> drawn_value;
  std::string drawn_text;
  bool drawn_as_data = true;

  double dimlfac() const { return override_dimlfac.value_or(style_dimlfac); }
  bool angular() const { return kind == 2 || kind == 5; }
  // The value a DIMENSION shows: measurement × DIMLFAC. DIMLFAC scales
  // lengths only, so an angular dimension shows its measurement as it is.
  // nullopt for leaders, tolerances and dimensions without a measurement.
  std::optional<double> displayed() const;
};

struct SpaceFacts {
  std::string layout;  // "Model" for model space
  bool model = false;
  bool current = false;  // the space $TILEMODE makes current
  size_t entities = 0;   // main entities (no VERTEX/SEQEND/ATTRIB)
  size_t viewports = 0;  // of those, VIEWPORTs
};

// Line weights are in hundredths of a millimetre (50 = 0.50 mm); the
// negative ones are kLineWeightByLayer, kLineWeightByBlock and
// kLineWeightDefault.
constexpr int kLineWeightByLayer = -1;
constexpr int kLineWeightByBlock = -2;
constexpr int kLineWeightDefault = -3;

struct LayerFacts {
  std::string name;
  size_t entities = 0;
  bool in_table = true;           // false: used by entities but missing in the LAYER table
  std::optional<int> lineweight;  // the layer's 370; nullopt when it has none (R12)
};

struct DimensionStyleFacts {
  std::string name;
  double dimlfac = 1.0;
  size_t dimensions = 0;  // dimensions that use the style
};

struct DrawingSurvey {
  std::string version;
  std::string codepage;
  bool tilemode = true;            // $TILEMODE 1 (or absent): model space is current
  std::vector<SpaceFacts> spaces;  // model space first, then the layouts in file order
  std::vector<LayerFacts> layers;  // LAYER table order, then unlisted ones
  std::vector<DimensionStyleFacts> dimension_styles;
  std::vector<DimensionFacts> dimensions;  // walk order, leaders and tolerances included
  size_t main_entities = 0;
  // How many main entities carry each line weight (370; without one: ByLayer).
  // The line-weight dialog maps the explicit ones onto the layers.
  std::map<int, size_t> entity_lineweights;
  // Handles of the main entities as numbers (empty without handles).
  std::vector<uint64_t> handles;
  // Signs of a 3D modeller's drawing export.
  std::vector<std::string> modeller_blocks;  // inserted blocks with the modeller's names
  std::vector<std::string> modeller_layers;  // layers with the modeller's names
  size_t na_texts = 0;                       // dimension texts holding "N/A"

  // The space that is current, or nullptr.
  const SpaceFacts* current_space() const;
  // A current space that is a layout holding entities besides its viewports:
  // what a conversion starts from.
  bool views_on_current_layout() const;
  bool looks_like_modeller_export() const;
};

DrawingSurvey SurveyDrawing(const host::Drawing& drawing);

// What a DIMENSION measures, from its definition points, for files that
// leave out the measurement (42): a linear dimension the distance of 13 and
// 14 along the angle 50, an aligned one their distance, a radius or diameter
// the distance of 10 and 15, an ordinate the x (flag 64) or y offset of 13
// from 10. nullopt for angles and where a point is missing. flags: group 70.
std::optional<double> MeasureDimension(const std::vector<dxf::TagView>& tags, int flags);

// The reference dimension a batch run's "auto" answer picks: among the
// entities with a DIMLFAC override, the value most of them share (ties: the
// value met first); the first dimension carrying it. nullptr if none.
const DimensionFacts* AutoReference(const DrawingSurvey& survey);

}  // namespace cli
