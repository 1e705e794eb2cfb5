// DIMOVERRIDE (bemüberschr): variable names and values until Enter, then the
// objects. Each selected dimension gets the values as overrides in its
// "ACAD" DSTYLE list, replacing a value the list already has for the
// variable. LEADERs and TOLERANCEs carry the same list and follow the same
// dimension style, so they are overridden too; other objects are passed
// over. The dimension's block is not regenerated: its picture stays as it
// was drawn, while the overrides (DIMLFAC, DIMSCALE ...) are what a program
// reading the drawing measures and regenerates from.
#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/cmdline/command_line.h"
#include "host/commands/dimension_variables.h"
#include "host/commands/dstyle_overrides.h"
#include "host/commands/prompt_input.h"
#include "host/commands/property_values.h"
#include "host/commands/selection.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/tag_edit.h"
#include "host/dimension_regen.h"
#include "host/session.h"
#include "host/two_halves.h"

namespace host::commands {

namespace {

enum DimOverrideOption { kClear };
constexpr Keyword kClearOption[] = {{"Überschreibungen löschen", "Clear", kClear}};

bool CarriesDimensionStyle(std::string_view type) {
  return type == "DIMENSION" || type == "ARC_DIMENSION" || type == "LARGE_RADIAL_DIMENSION" ||
         type == "LEADER" || type == "TOLERANCE";
}

// The drawing's current value of the variable (its header), as shown in the
// prompt; "" when the header does not have it.
std::string CurrentValue(const Drawing& drawing, const DimensionVariable& variable) {
  std::optional<dxf::Tags> header = drawing.HeaderVar("$" + std::string(variable.name));
  if (!header || header->empty()) return {};
  std::string value = drawing.encoding().Decode(dxf::TrimBlanks(header->front().value));
  switch (variable.kind) {
    case DimensionValue::kReal:
      if (std::optional<double> real = ParseReal(value)) return FormatDistance(*real);
      return value;
    case DimensionValue::kColour:
      if (std::optional<long long> colour = ParseInteger(value)) {
        return ColourText(static_cast<int>(*colour));
      }
      return value;
    case DimensionValue::kLineWeight:
      if (std::optional<long long> weight = ParseInteger(value)) {
        return LineWeightText(static_cast<int>(*weight));
      }
      return value;
    default:
      return value;
  }
}

struct ValueAnswer {
  bool cancelled = false;
  std::optional<dxf::Tag> value;  // absent: the variable cannot be overridden here
};

// The value as the group the override stores, or why it is not one.
std::optional<dxf::Tag> ToOverride(const Drawing& drawing, const DimensionVariable& variable,
                                   const std::string& text, std::string* why) {
  switch (variable.kind) {
    case DimensionValue::kReal: {
      std::optional<double> real = ParseReal(text);
      if (!real) {
        *why = "Erfordert numerischen Wert.";
        return std::nullopt;
      }
      // DIMSCALE 0 derives the scale from the viewport; a negative one has no meaning.
      if (variable.code == 40 && *real < 0) {
        *why = "Wert darf nicht negativ sein.";
        return std::nullopt;
      }
      return dxf::Tag(1040, dxf::FormatDouble(*real));
    }
    case DimensionValue::kInteger: {
      std::optional<long long> integer = ParseInteger(text);
      if (!integer || *integer < -32768 || *integer > 32767) {
        *why = "Erfordert eine Ganzzahl.";
        return std::nullopt;
      }
      return dxf::Tag(1070, dxf::FormatInt(*integer));
    }
    case DimensionValue::kColour: {
      std::optional<int> colour = ParseColour(text);
      if (!colour) {
        *why = "Ungültige Farbe. VonLayer, VonBlock, ein Farbname oder 1 bis 255 eingeben.";
        return std::nullopt;
      }
      return dxf::Tag(1070, dxf::FormatInt(*colour));
    }
    case DimensionValue::kLineWeight: {
      std::optional<int> weight = ParseLineWeight(text);
      if (!weight) {
        *why = "Ungültige Linienstärke.";
        return std::nullopt;
      }
      return dxf::Tag(1070, dxf::FormatInt(*weight));
    }
    case DimensionValue::kText:
      return dxf::Tag(1000, drawing.encoding().Encode(text));
    case DimensionValue::kTextStyle: {
      TableRecordId style = drawing.FindTableRecord("STYLE", text);
      std::string handle =
          style == kNoRecord ? std::string() : TagValue(CopyTableRecordTags(drawing, style), 5);
      if (style == kNoRecord) {
        *why = "Textstil \"" + text + "\" nicht gefunden.";
        return std::nullopt;
      }
      if (handle.empty()) {
        *why = "Der Textstil hat keine Referenz.";
        return std::nullopt;
      }
      return dxf::Tag(1005, std::string(dxf::TrimBlanks(handle)));
    }
  }
  return std::nullopt;
}

ValueAnswer AskValue(CommandLine& cl, const Drawing& drawing, const DimensionVariable& variable) {
  if (variable.kind == DimensionValue::kTextStyle && !drawing.has_handles()) {
    // Without handles there is nothing a 1005 group could name; the
    // variable is passed over and the next name asked for.
    cl.Message(std::string(variable.name) +
               " kann in dieser Zeichnung ohne Referenzen nicht "
               "überschrieben werden.");
    return ValueAnswer{};
  }
  std::string current = CurrentValue(drawing, variable);
  std::string prompt = "Neuen Wert für Bemaßungsvariable eingeben";
  if (!current.empty()) prompt += " <" + current + ">";
  prompt += ": ";
  while (true) {
    std::optional<std::string> answer = cl.Ask(prompt);
    if (!answer) return ValueAnswer{true, std::nullopt};
    std::string text(variable.kind == DimensionValue::kText ? std::string_view(*answer)
                                                            : dxf::TrimBlanks(*answer));
    if (dxf::TrimBlanks(text).empty()) {
      if (current.empty()) {
        cl.Refuse("Wert erforderlich.");
        continue;
      }
      text = current;
    }
    std::string why;
    if (std::optional<dxf::Tag> value = ToOverride(drawing, variable, text, &why)) {
      return ValueAnswer{false, value};
    }
    cl.Refuse(why);
  }
}

// Extended data of "ACAD" needs the application registered (always the case
// from R13 on, but a drawing written by another program may lack it).
void EnsureAcadRegistered(Drawing& drawing) {
  if (drawing.FindTableRecord("APPID", "ACAD") != kNoRecord) return;
  const Table* table = drawing.FindTable("APPID");
  if (!table) return;
  dxf::Tags record = {dxf::Tag(0, "APPID")};
  std::string handle = drawing.has_handles() ? drawing.NewHandle() : std::string();
  if (!handle.empty()) record.emplace_back(5, handle);
  if (!drawing.is_r12()) {
    if (!table->handle.empty()) record.emplace_back(330, table->handle);
    record.emplace_back(100, "AcDbSymbolTableRecord");
    record.emplace_back(100, "AcDbRegAppTableRecord");
  }
  record.emplace_back(2, "ACAD");
  record.emplace_back(70, "0");
  drawing.AddTableRecord("APPID", record);
}

}  // namespace

void DimOverride(Session& session) {
  CommandLine& cl = session.command_line();
  Drawing& drawing = session.drawing();
  std::vector<DstyleOverride> overrides;
  bool clear = false;
  bool first = true;
  while (true) {
    std::optional<std::string> answer =
        cl.Ask(first ? "Name der zu überschreibenden Bemaßungsvariable eingeben oder "
                       "[Überschreibungen löschen]: "
                     : "Name der zu überschreibenden Bemaßungsvariable eingeben: ");
    if (!answer) return;
    if (dxf::TrimBlanks(*answer).empty()) break;
    if (first && MatchKeyword(*answer, kClearOption) == kClear) {
      clear = true;
      break;
    }
    const DimensionVariable* variable = FindDimensionVariable(*answer);
    if (!variable) {
      cl.Refuse("Unbekannter Variablenname.");
      continue;
    }
    ValueAnswer value = AskValue(cl, drawing, *variable);
    if (value.cancelled) return;
    first = false;
    if (!value.value) continue;
    std::erase_if(overrides,
                  [&](const DstyleOverride& o) { return o.variable_code == variable->code; });
    overrides.push_back(DstyleOverride{variable->code, *value.value});
  }
  if (!clear && overrides.empty()) return;

  std::optional<std::vector<EntityId>> selection = SelectObjects(session);
  if (!selection) return;
  const std::vector<EntityId>& objects = *selection;
  // Each dimension is changed by itself alone: a large selection is changed
  // in two halves at once.
  bool changed[2] = {false, false};
  auto change = [&](size_t begin, size_t end) {
    // The record's tags as views and as strings of their own; both stay
    // from dimension to dimension.
    std::vector<dxf::TagView> views;
    dxf::Tags tags;
    for (size_t i = begin; i < end; ++i) {
      EntityId id = objects[i];
      if (!CarriesDimensionStyle(drawing.EntityType(id))) continue;
      CopyEntityTags(drawing, id, &views, &tags);
      if (clear) {
        ClearDstyleOverrides(&tags);
      } else {
        MergeDstyleOverrides(&tags, overrides);
      }
      if (SameTags(views, tags)) continue;
      drawing.SetEntityTags(id, tags, views);
      changed[begin == 0 ? 0 : 1] = true;
    }
  };
  RunInTwoHalvesIfLong(objects.size(), change);
  if ((changed[0] || changed[1]) && !clear) EnsureAcadRegistered(drawing);
  if (changed[0] || changed[1]) MarkForRegeneration(drawing, objects);
}

}  // namespace host::commands
