#include "cli/report/drawing_facts.h"

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/render/svg_writer.h"

namespace cli::report {

namespace {

bool IsSubentity(std::string_view type) {
  return type == "VERTEX" || type == "SEQEND" || type == "ATTRIB";
}

// ByLayer and ByBlock are written in any case; the rest as the file has it.
std::string PropertyText(std::string_view value, std::string_view absent) {
  value = dxf::TrimBlanks(value);
  if (value.empty()) return std::string(absent);
  if (dxf::EqualNoCase(value, "BYLAYER")) return "BYLAYER";
  if (dxf::EqualNoCase(value, "BYBLOCK")) return "BYBLOCK";
  return std::string(value);
}

std::string ColourText(std::string_view value) {
  std::optional<long long> index = dxf::ParseInt(value);
  if (!index || *index == 256) return "BYLAYER";
  if (*index == 0) return "BYBLOCK";
  return std::to_string(*index);
}

}  // namespace

std::string LineweightText(std::string_view value) {
  std::optional<long long> weight = dxf::ParseInt(value);
  if (!weight || *weight == -1) return "BYLAYER";
  if (*weight == -2) return "BYBLOCK";
  if (*weight == -3) return "DEFAULT";
  return host::render::FormatFixed(static_cast<double>(*weight) / 100, 2) + " mm";
}

DrawingFacts GatherFacts(const host::Drawing& drawing) {
  DrawingFacts facts;
  DrawingSurvey survey = SurveyDrawing(drawing);
  facts.layers = survey.layers;
  facts.spaces = survey.spaces;
  std::unordered_map<std::string, std::optional<double>> dimlfac;
  for (const DimensionFacts& dimension : survey.dimensions) {
    if (!dimension.handle.empty())
      dimlfac[dxf::UpperCase1252(dimension.handle)] = dimension.override_dimlfac;
  }
  for (const LayerFacts& layer : survey.layers) {
    if (layer.in_table) facts.layer_table.push_back(layer.name);
  }

  facts.by_handle = drawing.has_handles();
  std::vector<dxf::TagView> tags;
  for (host::EntityId id = drawing.FirstEntity(); id != host::kNoEntity;
       id = drawing.NextEntity(id)) {
    std::string_view type = drawing.EntityType(id);
    if (drawing.entity(id).parent != host::kNoEntity || IsSubentity(type)) continue;
    std::string handle = dxf::UpperCase1252(dxf::TrimBlanks(drawing.EntityHandle(id)));
    if (handle.empty()) {
      facts.by_handle = false;
      continue;
    }
    drawing.EntityTags(id, &tags);
    EntityFacts entity;
    entity.type = std::string(type);
    entity.layer = drawing.EntityLayer(id);
    std::string_view linetype, lineweight, colour, text;
    for (size_t i = 1; i < tags.size(); ++i) {
      const dxf::TagView& tag = tags[i];
      if (tag.code == 1001) break;  // extended data
      if (tag.code == 6 && linetype.empty()) linetype = tag.value;
      if (tag.code == 370 && lineweight.empty()) lineweight = tag.value;
      if (tag.code == 62 && colour.empty()) colour = tag.value;
      if (tag.code == 1 && text.empty()) text = tag.value;
    }
    entity.linetype = drawing.encoding().Decode(PropertyText(linetype, "BYLAYER"));
    entity.lineweight = LineweightText(lineweight);
    entity.colour = ColourText(colour);
    if (type == "DIMENSION") {
      entity.text = drawing.encoding().Decode(text);
      auto found = dimlfac.find(handle);
      if (found != dimlfac.end()) entity.dimlfac = found->second;
    }
    if (facts.entities.emplace(handle, std::move(entity)).second) facts.order.push_back(handle);
  }
  return facts;
}

}  // namespace cli::report
