// dravolin info: what a drawing holds, as far as the conversion cares.

#include <algorithm>
#include <cstdio>
#include <map>
#include <ostream>

#include "cli/command.h"
#include "cli/drawing_io.h"
#include "cli/drawing_survey.h"
#include "host/ui/text_encoding.h"

namespace cli {

namespace {

std::string Utf8(const std::string& text_1252) { return host::Cp1252ToUtf8(text_1252); }

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

// The DXF release a version string stands for.
std::string ReleaseName(const std::string& version) {
  static const std::map<std::string, std::string> releases = {
      {"AC1009", "R12"},   {"AC1012", "R13"},   {"AC1014", "R14"},
      {"AC1015", "R2000"}, {"AC1018", "R2004"}, {"AC1021", "R2007"},
      {"AC1024", "R2010"}, {"AC1027", "R2013"}, {"AC1032", "R2018"},
  };
  auto it = releases.find(version);
  return it == releases.end() ? "unknown release" : it->second;
}

std::string Count(size_t count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Rows of a left column and a right column, the left padded to one width.
void PrintTable(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& rows) {
  size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.first.size());
  for (const auto& [left, right] : rows)
    out << "  " << left << std::string(width - left.size() + 2, ' ') << right << "\n";
}

void PrintSurvey(const std::string& path, const DrawingSurvey& survey, std::ostream& out) {
  out << "file:      " << path << "\n";
  out << "version:   " << survey.version << " (" << ReleaseName(survey.version) << ")";
  if (survey.version >= "AC1021")
    out << ", text in UTF-8";
  else
    out << ", code page "
        << (survey.codepage.empty() ? "not given (taken as ANSI_1252)" : Utf8(survey.codepage));
  out << "\n";

  const SpaceFacts* current = survey.current_space();
  out << "current:   "
      << (current ? (current->model ? std::string("model space")
                                    : "layout \"" + Utf8(current->layout) + "\"")
                  : std::string("no current layout"))
      << " ($TILEMODE " << (survey.tilemode ? 1 : 0) << ")\n";

  out << "\nspaces (" << survey.spaces.size() << "):\n";
  std::vector<std::pair<std::string, std::string>> rows;
  for (const SpaceFacts& space : survey.spaces) {
    std::string right = Count(space.entities, "entity", "entities");
    if (space.viewports) right += " (" + Count(space.viewports, "viewport", "viewports") + ")";
    if (space.current) right += "  [current]";
    rows.emplace_back(Utf8(space.model ? "Model" : space.layout), right);
  }
  PrintTable(out, rows);

  out << "\nlayers (" << survey.layers.size() << "), with the entities on them:\n";
  rows.clear();
  for (const LayerFacts& layer : survey.layers)
    rows.emplace_back(Utf8(layer.name), std::to_string(layer.entities) +
                                            (layer.in_table ? "" : "  (not in the layer table)"));
  PrintTable(out, rows);

  out << "\ndimension styles (" << survey.dimension_styles.size() << "):\n";
  rows.clear();
  for (const DimensionStyleFacts& style : survey.dimension_styles)
    rows.emplace_back(Utf8(style.name), "DIMLFAC " + Number(style.dimlfac) + ", used by " +
                                            std::to_string(style.dimensions));
  PrintTable(out, rows);

  size_t dimensions = std::count_if(survey.dimensions.begin(), survey.dimensions.end(),
                                    [](const DimensionFacts& d) { return d.type == "DIMENSION"; });
  out << "\ndimensions: " << dimensions;
  if (survey.dimensions.size() > dimensions)
    out << " (and " << survey.dimensions.size() - dimensions << " leaders/tolerances)";
  out << "\n";
  // The DIMLFAC overrides, in the order their values are first met.
  std::vector<std::pair<double, size_t>> overrides;
  for (const DimensionFacts& dimension : survey.dimensions) {
    if (!dimension.override_dimlfac) continue;
    auto it = std::find_if(overrides.begin(), overrides.end(), [&](const auto& entry) {
      return entry.first == *dimension.override_dimlfac;
    });
    if (it == overrides.end())
      overrides.emplace_back(*dimension.override_dimlfac, 1);
    else
      ++it->second;
  }
  if (overrides.empty()) {
    out << "DIMLFAC overrides: none\n";
  } else {
    out << "DIMLFAC overrides:\n";
    rows.clear();
    for (const auto& [value, count] : overrides)
      rows.emplace_back(Number(value), "on " + std::to_string(count));
    PrintTable(out, rows);
  }
  if (const DimensionFacts* pick = AutoReference(survey))
    out << "reference 'auto' picks: " << pick->type << " " << pick->handle << " on "
        << Utf8(pick->layout) << ", DIMLFAC " << Number(*pick->override_dimlfac) << "\n";
  else
    out << "reference 'auto' picks: nothing (a conversion would stop)\n";

  std::vector<std::string> signs;
  if (survey.views_on_current_layout())
    signs.push_back("drawing views on the current layout \"" + Utf8(current->layout) + "\"");
  if (!overrides.empty()) signs.push_back("DIMLFAC overrides on dimensions");
  auto join = [](const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + Utf8(name);
    return text;
  };
  if (!survey.modeller_blocks.empty()) signs.push_back("blocks " + join(survey.modeller_blocks));
  if (!survey.modeller_layers.empty()) signs.push_back("layers " + join(survey.modeller_layers));
  if (survey.na_texts)
    signs.push_back(Count(survey.na_texts, "\"N/A\" dimension text", "\"N/A\" dimension texts"));
  out << "\nlooks like a 3D modeller's export: "
      << (survey.looks_like_modeller_export() ? "yes" : "no");
  if (!signs.empty()) {
    out << " (";
    for (size_t i = 0; i < signs.size(); ++i) out << (i ? "; " : "") << signs[i];
    out << ")";
  }
  out << "\n";
}

int Info(const ParsedArgs& args, CommandContext& context) {
  if (args.positional.size() != 1)
    return UsageError(context, "info",
                      "expected one input drawing, got " + std::to_string(args.positional.size()));
  const std::string& input = args.positional[0];
  std::string err;
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(input, &err);
  if (!drawing) {
    context.err << err << "\n";
    return kExitInputError;
  }
  PrintSurvey(input, SurveyDrawing(*drawing), context.out);
  return kExitOk;
}

}  // namespace

CommandSpec MakeInfoCommand() {
  CommandSpec decl;
  decl.name = "info";
  decl.summary = "show a drawing's version, spaces, layers, dimension styles and factors";
  decl.usage = "IN.dxf";
  decl.description =
      "Shows the drawing's DXF version and code page, its spaces with their entity\n"
      "counts, the layers with the entities on them, the dimension styles, the DIMLFAC\n"
      "overrides the dimensions carry and the reference dimension the answer 'auto'\n"
      "would pick, and whether the drawing looks like a 3D modeller's export.";
  decl.run = Info;
  return decl;
}

}  // namespace cli
