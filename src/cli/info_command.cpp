// dravolin info: what a drawing holds, as far as the conversion cares; as
// text for a person or as JSON for a program.

#include <algorithm>
#include <cstdio>
#include <map>
#include <ostream>

#include "cli/command.h"
#include "cli/drawing_io.h"
#include "cli/drawing_survey.h"
#include "cli/json_text.h"
#include "cli/terminal_text.h"
#include "cli/text_width.h"
#include "dxf/code_page_1252.h"
#include "host/database/handle_check.h"
#include "host/ui/text_encoding.h"

namespace cli {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The UTF-16 unit of a "\U+XXXX" at text[at], or -1.
long EscapedUnit(const std::string& text, size_t at) {
  if (at + 7 > text.size() || text[at] != '\\' || (text[at + 1] != 'U' && text[at + 1] != 'u') ||
      text[at + 2] != '+')
    return -1;
  long unit = 0;
  for (size_t k = at + 3; k < at + 7; ++k) {
    int digit = HexValue(text[k]);
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

// Code page 1252 to UTF-8. The drawing's characters beyond 1252 are held as
// "\U+XXXX" (a pair of them beyond U+FFFF); they are shown as themselves. A
// half pair stays as it is written.
std::string Utf8(const std::string& text_1252) {
  std::string out, plain;
  for (size_t i = 0; i < text_1252.size();) {
    long unit = EscapedUnit(text_1252, i);
    char32_t code_point = 0;
    size_t length = 7;
    if (unit >= 0xD800 && unit < 0xDC00) {
      long low = EscapedUnit(text_1252, i + 7);
      if (low >= 0xDC00 && low < 0xE000) {
        code_point = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                     (static_cast<char32_t>(low) - 0xDC00);
        length = 14;
      }
    } else if (unit >= 0 && (unit < 0xDC00 || unit >= 0xE000)) {
      code_point = static_cast<char32_t>(unit);
    }
    if (code_point == 0) {
      plain += text_1252[i++];
      continue;
    }
    out += host::Cp1252ToUtf8(plain);
    plain.clear();
    dxf::AppendUtf8(&out, code_point);
    i += length;
  }
  return out + host::Cp1252ToUtf8(plain);
}
// A name or text of the drawing as the text output shows it.
std::string Shown(const std::string& text_1252) { return TerminalText(Utf8(text_1252)); }

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

// "0.50 mm", "ByLayer", "ByBlock", "default".
std::string LineWeightName(int lineweight) {
  switch (lineweight) {
    case kLineWeightByLayer:
      return "ByLayer";
    case kLineWeightByBlock:
      return "ByBlock";
    case kLineWeightDefault:
      return "default";
  }
  char text[32];
  std::snprintf(text, sizeof text, "%d.%02d mm", lineweight / 100, std::abs(lineweight % 100));
  return text;
}

std::string Count(size_t count, const std::string& one, const std::string& many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The DIMLFAC overrides the dimensions carry, in the order their values are
// first met, with how many carry each.
std::vector<std::pair<double, size_t>> DimlfacOverrides(const DrawingSurvey& survey) {
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
  return overrides;
}

size_t DimensionCount(const DrawingSurvey& survey) {
  return std::count_if(survey.dimensions.begin(), survey.dimensions.end(),
                       [](const DimensionFacts& d) { return d.type == "DIMENSION"; });
}

// Why the drawing looks like a modeller's export (UTF-8).
std::vector<std::string> ExportSigns(const DrawingSurvey& survey) {
  std::vector<std::string> signs;
  if (survey.views_on_current_layout())
    signs.push_back("drawing views on the current layout \"" +
                    Utf8(survey.current_space()->layout) + "\"");
  if (!DimlfacOverrides(survey).empty()) signs.push_back("DIMLFAC overrides on dimensions");
  auto join = [](const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + Utf8(name);
    return text;
  };
  if (!survey.modeller_blocks.empty()) signs.push_back("blocks " + join(survey.modeller_blocks));
  if (!survey.modeller_layers.empty()) signs.push_back("layers " + join(survey.modeller_layers));
  if (survey.na_texts)
    signs.push_back(Count(survey.na_texts, "\"N/A\" dimension text", "\"N/A\" dimension texts"));
  return signs;
}

// The entities a --reference answer can name: those with a DIMLFAC
// override (and a handle), in drawing order.
std::vector<const DimensionFacts*> ReferenceCandidates(const DrawingSurvey& survey) {
  std::vector<const DimensionFacts*> candidates;
  for (const DimensionFacts& dimension : survey.dimensions)
    if (dimension.override_dimlfac && !dimension.handle.empty()) candidates.push_back(&dimension);
  return candidates;
}

// Rows of a left column and a right column, the left padded to one width
// (in characters: names may hold accented letters).
void PrintTable(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& rows) {
  size_t width = 0;
  for (const auto& row : rows) width = std::max(width, DisplayWidth(row.first));
  for (const auto& [left, right] : rows)
    out << "  " << left << std::string(width - DisplayWidth(left) + 2, ' ') << right << "\n";
}

void PrintSurvey(const std::string& path, const DrawingSurvey& survey, std::ostream& out) {
  out << "file:      " << TerminalText(path) << "\n";
  out << "version:   " << Shown(survey.version) << " (" << ReleaseName(survey.version) << ")";
  if (survey.version >= "AC1021")
    out << ", text in UTF-8";
  else
    out << ", code page "
        << (survey.codepage.empty() ? "not given (taken as ANSI_1252)" : Shown(survey.codepage));
  out << "\n";

  const SpaceFacts* current = survey.current_space();
  out << "current:   "
      << (current ? (current->model ? std::string("model space")
                                    : "layout \"" + Shown(current->layout) + "\"")
                  : std::string("no current layout"))
      << " ($TILEMODE " << (survey.tilemode ? 1 : 0) << ")\n";

  out << "\nspaces (" << survey.spaces.size() << "):\n";
  std::vector<std::pair<std::string, std::string>> rows;
  for (const SpaceFacts& space : survey.spaces) {
    std::string right = Count(space.entities, "entity", "entities");
    if (space.viewports) right += " (" + Count(space.viewports, "viewport", "viewports") + ")";
    if (space.current) right += "  [current]";
    rows.emplace_back(Shown(space.model ? "Model" : space.layout), right);
  }
  PrintTable(out, rows);

  out << "\nlayers (" << survey.layers.size()
      << "), with the entities on them (and the line weight, unless default):\n";
  rows.clear();
  size_t count_width = 0;
  for (const LayerFacts& layer : survey.layers)
    count_width = std::max(count_width, std::to_string(layer.entities).size());
  for (const LayerFacts& layer : survey.layers) {
    std::string count = std::to_string(layer.entities);
    std::string right = std::string(count_width - count.size(), ' ') + count;
    if (!layer.in_table)
      right += "  (not in the layer table)";
    else if (layer.lineweight && *layer.lineweight != kLineWeightDefault)
      right += "  " + LineWeightName(*layer.lineweight);
    rows.emplace_back(Shown(layer.name), right);
  }
  PrintTable(out, rows);

  out << "\nline weights of the entities (the explicit ones are what the line-weight\n"
         "dialog maps onto AM_0, AM_3 and AM_4):\n";
  rows.clear();
  for (const auto& [lineweight, count] : survey.entity_lineweights)
    rows.emplace_back(LineWeightName(lineweight), Count(count, "entity", "entities"));
  PrintTable(out, rows);

  out << "\ndimension styles (" << survey.dimension_styles.size() << "):\n";
  rows.clear();
  for (const DimensionStyleFacts& style : survey.dimension_styles)
    rows.emplace_back(Shown(style.name), "DIMLFAC " + Number(style.dimlfac) + ", used by " +
                                             std::to_string(style.dimensions));
  PrintTable(out, rows);

  size_t dimensions = DimensionCount(survey);
  out << "\ndimensions: " << dimensions;
  if (survey.dimensions.size() > dimensions)
    out << " (and " << survey.dimensions.size() - dimensions << " leaders/tolerances)";
  out << "\n";
  std::vector<std::pair<double, size_t>> overrides = DimlfacOverrides(survey);
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
    out << "reference 'auto' picks: " << pick->type << " " << Shown(pick->handle) << " on "
        << Shown(pick->layout) << ", DIMLFAC " << Number(*pick->override_dimlfac) << "\n";
  else
    out << "reference 'auto' picks: nothing (a conversion would stop)\n";
  std::vector<const DimensionFacts*> candidates = ReferenceCandidates(survey);
  if (!candidates.empty()) {
    out << "reference candidates (--reference HANDLE; * the one 'auto' picks):\n";
    rows.clear();
    const DimensionFacts* pick = AutoReference(survey);
    for (const DimensionFacts* candidate : candidates) {
      std::string right = candidate->type + " on " + Shown(candidate->layout) + ", DIMLFAC " +
                          Number(*candidate->override_dimlfac);
      if (candidate->measurement) right += ", measures " + Number(*candidate->measurement);
      if (std::optional<double> shown = candidate->displayed())
        right += ", shows " + Number(*shown);
      if (!candidate->text.empty()) right += ", text \"" + Shown(candidate->text) + "\"";
      rows.emplace_back((candidate == pick ? "* " : "  ") + Shown(candidate->handle), right);
    }
    PrintTable(out, rows);
  }

  std::vector<std::string> signs = ExportSigns(survey);
  out << "\nlooks like a 3D modeller's export: "
      << (survey.looks_like_modeller_export() ? "yes" : "no");
  if (!signs.empty()) {
    out << " (";
    for (size_t i = 0; i < signs.size(); ++i) out << (i ? "; " : "") << TerminalText(signs[i]);
    out << ")";
  }
  out << "\n";
}

// The same facts as one JSON object (UTF-8).
void PrintSurveyJson(const std::string& path, const DrawingSurvey& survey,
                     const host::HandleProblems& handles, std::ostream& out) {
  auto text = [](const std::string& text_1252) { return JsonString(Utf8(text_1252)); };
  auto list = [&out](const auto& items, auto write) {
    out << "[";
    for (size_t i = 0; i < items.size(); ++i) {
      out << (i ? ",\n    " : "\n    ");
      write(items[i]);
    }
    out << (items.empty() ? "]" : "\n  ]");
  };
  const SpaceFacts* current = survey.current_space();
  bool utf8 = survey.version >= "AC1021";
  out << "{\n  \"file\": " << JsonString(path) << ",\n  \"version\": " << text(survey.version)
      << ",\n  \"release\": " << JsonString(ReleaseName(survey.version)) << ",\n  \"codepage\": "
      << (utf8                      ? "\"UTF-8\""
          : survey.codepage.empty() ? "\"ANSI_1252\""
                                    : text(survey.codepage))
      << ",\n  \"tilemode\": " << (survey.tilemode ? 1 : 0)
      << ",\n  \"current_space\": " << (current ? text(current->layout) : "null")
      << ",\n  \"spaces\": ";
  list(survey.spaces, [&](const SpaceFacts& s) {
    out << "{\"name\": " << text(s.layout) << ", \"model\": " << (s.model ? "true" : "false")
        << ", \"current\": " << (s.current ? "true" : "false") << ", \"entities\": " << s.entities
        << ", \"viewports\": " << s.viewports << "}";
  });
  out << ",\n  \"layers\": ";
  list(survey.layers, [&](const LayerFacts& l) {
    out << "{\"name\": " << text(l.name) << ", \"entities\": " << l.entities
        << ", \"in_table\": " << (l.in_table ? "true" : "false")
        << ", \"lineweight\": " << (l.lineweight ? std::to_string(*l.lineweight) : "null") << "}";
  });
  out << ",\n  \"entity_lineweights\": ";
  std::vector<std::pair<int, size_t>> weights(survey.entity_lineweights.begin(),
                                              survey.entity_lineweights.end());
  list(weights, [&](const std::pair<int, size_t>& w) {
    out << "{\"lineweight\": " << w.first << ", \"name\": " << JsonString(LineWeightName(w.first))
        << ", \"entities\": " << w.second << "}";
  });
  out << ",\n  \"dimension_styles\": ";
  list(survey.dimension_styles, [&](const DimensionStyleFacts& s) {
    out << "{\"name\": " << text(s.name) << ", \"dimlfac\": " << JsonNumber(s.dimlfac)
        << ", \"dimensions\": " << s.dimensions << "}";
  });
  size_t dimensions = DimensionCount(survey);
  out << ",\n  \"dimensions\": " << dimensions
      << ",\n  \"leaders_and_tolerances\": " << survey.dimensions.size() - dimensions
      << ",\n  \"dimlfac_overrides\": ";
  list(DimlfacOverrides(survey), [&](const std::pair<double, size_t>& o) {
    out << "{\"dimlfac\": " << JsonNumber(o.first) << ", \"dimensions\": " << o.second << "}";
  });
  out << ",\n  \"auto_reference\": ";
  if (const DimensionFacts* pick = AutoReference(survey))
    out << "{\"type\": " << text(pick->type) << ", \"handle\": " << text(pick->handle)
        << ", \"layout\": " << text(pick->layout)
        << ", \"dimlfac\": " << JsonNumber(*pick->override_dimlfac) << "}";
  else
    out << "null";
  const DimensionFacts* pick = AutoReference(survey);
  out << ",\n  \"reference_candidates\": ";
  list(ReferenceCandidates(survey), [&](const DimensionFacts* candidate) {
    auto number = [](const std::optional<double>& value) {
      return value ? JsonNumber(*value) : std::string("null");
    };
    out << "{\"handle\": " << text(candidate->handle) << ", \"type\": " << text(candidate->type)
        << ", \"layout\": " << text(candidate->layout)
        << ", \"dimlfac\": " << JsonNumber(*candidate->override_dimlfac)
        << ", \"measurement\": " << number(candidate->measurement)
        << ", \"displayed\": " << number(candidate->displayed())
        << ", \"text\": " << text(candidate->text)
        << ", \"auto\": " << (candidate == pick ? "true" : "false") << "}";
  });
  out << ",\n  \"modeller_export\": " << (survey.looks_like_modeller_export() ? "true" : "false")
      << ",\n  \"modeller_export_signs\": ";
  list(ExportSigns(survey), [&](const std::string& sign) { out << JsonString(sign); });
  out << ",\n  \"handle_problems\": " << handles.total << ",\n  \"handle_problems_listed\": ";
  list(handles.listed, [&](const std::string& problem) { out << text(problem); });
  out << "\n}\n";
}

// Handles a conversion refuses without --force (UTF-8).
void PrintHandleProblems(const host::HandleProblems& handles, std::ostream& out) {
  if (handles.empty()) return;
  out << "\nhandle problems (" << handles.total << ", a conversion needs --force):\n";
  for (const std::string& problem : handles.listed) out << "  " << Utf8(problem) << "\n";
  if (handles.total > handles.listed.size())
    out << "  and " << handles.total - handles.listed.size() << " more\n";
}

int Info(const ParsedArgs& args, CommandContext& context) {
  if (args.positional.size() != 1)
    return UsageError(context, "info",
                      "expected one input drawing, got " + std::to_string(args.positional.size()));
  const std::string& input = args.positional[0];
  std::string err;
  std::unique_ptr<host::Drawing> drawing = LoadDrawing(input, &err);
  if (!drawing) {
    context.err << "dravolin: error: " << TerminalText(err) << "\n";
    return kExitInputError;
  }
  DrawingSurvey survey = SurveyDrawing(*drawing);
  host::HandleProblems handles = host::FindHandleProblems(*drawing);
  if (args.Has("json")) {
    PrintSurveyJson(input, survey, handles, context.out);
  } else {
    PrintSurvey(input, survey, context.out);
    PrintHandleProblems(handles, context.out);
  }
  return kExitOk;
}

}  // namespace

CommandSpec MakeInfoCommand() {
  CommandSpec decl;
  decl.name = "info";
  decl.summary = "show a drawing's version, spaces, layers, dimension styles and factors";
  decl.usage = "IN.dxf [--json]";
  decl.description =
      "Shows the drawing's DXF version and code page, its spaces with their entity\n"
      "counts, the layers with the entities on them and their line weights, the line\n"
      "weights the entities carry, the dimension styles, the DIMLFAC overrides the\n"
      "dimensions carry and the reference dimension the answer 'auto' would pick, and\n"
      "whether the drawing looks like a 3D modeller's export.";
  decl.options = {
      {"json", 0, "", "print the facts as one JSON object"},
  };
  decl.run = Info;
  return decl;
}

}  // namespace cli
