#include "cli/drawing_survey.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>
#include <unordered_map>

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/dimension_regen.h"
#include "host/two_halves.h"

namespace cli {

namespace {

using dxf::ParseDouble;
using dxf::ParseInt;
std::string_view Trim(std::string_view text) { return dxf::TrimBlanks(text); }

std::optional<uint64_t> ParseHandle(std::string_view text) {
  text = Trim(text);
  uint64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Names meet without regard to case, as the host finds them.
std::string Upper(std::string_view text) { return dxf::UpperCase1252(text); }

// The DIMLFAC pair of the "ACAD" DSTYLE list in an entity's extended data:
// 1001 ACAD, ..., 1000 DSTYLE, 1002 {, 1070 144, 1040 value, ..., 1002 }.
// The last pair wins, as when the host reads the list. A 1070 144 not
// followed by a 1040 carries no factor. A value that does not read as a
// finite number is kept as written in unreadable.
std::optional<double> DimlfacOverride(const std::vector<dxf::TagView>& tags,
                                      std::string_view* unreadable) {
  std::optional<double> factor;
  bool in_acad = false;
  for (size_t i = 0; i < tags.size(); ++i) {
    if (tags[i].code == 1001) {
      in_acad = Trim(tags[i].value) == "ACAD";
      continue;
    }
    if (!in_acad || tags[i].code != 1000 || Trim(tags[i].value) != "DSTYLE") continue;
    if (i + 1 >= tags.size() || tags[i + 1].code != 1002 || Trim(tags[i + 1].value) != "{")
      continue;
    for (i += 2; i < tags.size(); ++i) {
      const dxf::TagView& tag = tags[i];
      if (tag.code == 1001 || (tag.code == 1002 && Trim(tag.value) == "}")) break;
      if (tag.code == 1070 && ParseInt(tag.value) == 144 && i + 1 < tags.size() &&
          tags[i + 1].code == 1040) {
        factor = ParseDouble(tags[i + 1].value);
        *unreadable = factor ? std::string_view() : Trim(tags[i + 1].value);
        ++i;
      }
    }
    if (i < tags.size() && tags[i].code == 1001) --i;  // let the outer loop see the next app
  }
  return factor;
}

// Layer names a 3D modeller's export uses; the conversion maps them.
constexpr const char* kModellerLayers[] = {"Mittellinie", "Detailkreislinien",
                                           "Mittelpunktmarkierung", "Schnittansichtslinien"};
// Prefixes of the modeller's symbol blocks (compared with regard to case, as
// the conversion does).
constexpr const char* kModellerBlocks[] = {"2dCenter", "2dTransSymbol", "2DMittellinie",
                                           "2DMittelPunkt"};

struct StyleInfo {
  size_t index;  // into DrawingSurvey::dimension_styles
};

void SurveyTables(const host::Drawing& drawing, DrawingSurvey* survey,
                  std::unordered_map<std::string, size_t>* layer_index,
                  std::unordered_map<std::string, size_t>* style_index) {
  std::vector<dxf::TagView> tags;
  if (const host::Table* layers = drawing.FindTable("LAYER")) {
    for (host::TableRecordId id : layers->records) {
      if (drawing.table_record(id).erased) continue;
      drawing.TableRecordTags(id, &tags);
      LayerFacts layer;
      bool named = false;
      for (const dxf::TagView& tag : tags) {
        if (tag.code == 2 && !named) {
          layer.name = drawing.encoding().Decode(tag.value);
          named = true;
        } else if (tag.code == 370) {
          if (auto value = ParseInt(tag.value)) layer.lineweight = static_cast<int>(*value);
        }
      }
      if (!named) continue;
      layer_index->emplace(Upper(layer.name), survey->layers.size());
      survey->layers.push_back(std::move(layer));
    }
  }
  if (const host::Table* styles = drawing.FindTable("DIMSTYLE")) {
    for (host::TableRecordId id : styles->records) {
      if (drawing.table_record(id).erased) continue;
      drawing.TableRecordTags(id, &tags);
      DimensionStyleFacts style;
      bool named = false;
      for (const dxf::TagView& tag : tags) {
        if (tag.code == 2 && !named) {
          style.name = drawing.encoding().Decode(tag.value);
          named = true;
        } else if (tag.code == 144) {
          if (auto value = ParseDouble(tag.value)) style.dimlfac = *value;
        }
      }
      if (!named) continue;
      style_index->emplace(Upper(style.name), survey->dimension_styles.size());
      survey->dimension_styles.push_back(style);
    }
  }
}

bool IsSubentity(std::string_view type) {
  return type == "VERTEX" || type == "SEQEND" || type == "ATTRIB";
}

}  // namespace

std::optional<double> MeasureDimension(const std::vector<dxf::TagView>& tags, int flags) {
  std::optional<double> coordinate[6][3];  // points 10..15, x/y/z
  double angle = 0;
  for (const dxf::TagView& tag : tags) {
    if (tag.code == 1001) break;
    int axis = tag.code < 20 ? 0 : tag.code < 30 ? 1 : 2;
    int point = tag.code - 10 - 10 * axis;
    if (tag.code >= 10 && tag.code <= 35 && point >= 0 && point <= 5)
      coordinate[point][axis] = ParseDouble(tag.value);
    else if (tag.code == 50)
      angle = ParseDouble(tag.value).value_or(0) * std::numbers::pi / 180;
  }
  auto delta = [&](int from, int to, int axis) -> std::optional<double> {
    if (!coordinate[from][axis] || !coordinate[to][axis])
      return axis == 2 ? 0.0 : std::optional<double>();
    return *coordinate[to][axis] - *coordinate[from][axis];
  };
  auto distance = [&](int from, int to) -> std::optional<double> {
    auto dx = delta(from, to, 0), dy = delta(from, to, 1), dz = delta(from, to, 2);
    if (!dx || !dy) return std::nullopt;
    return std::sqrt(*dx * *dx + *dy * *dy + *dz * *dz);
  };
  switch (flags & 0x0F) {
    case 0: {
      auto dx = delta(3, 4, 0), dy = delta(3, 4, 1);
      if (!dx || !dy) return std::nullopt;
      return std::fabs(*dx * std::cos(angle) + *dy * std::sin(angle));
    }
    case 1:
      return distance(3, 4);
    case 3:
    case 4:
      return distance(0, 5);
    case 6: {
      auto offset = delta(0, 3, (flags & 64) ? 0 : 1);
      if (!offset) return std::nullopt;
      return std::fabs(*offset);
    }
  }
  return std::nullopt;
}

std::optional<double> DimensionFacts::displayed() const {
  if (type != "DIMENSION" || !measurement) return std::nullopt;
  return angular() ? *measurement : *measurement * dimlfac();
}

const SpaceFacts* DrawingSurvey::current_space() const {
  for (const SpaceFacts& space : spaces)
    if (space.current) return &space;
  return nullptr;
}

bool DrawingSurvey::views_on_current_layout() const {
  const SpaceFacts* space = current_space();
  return space && !space->model && space->entities > space->viewports;
}

bool DrawingSurvey::looks_like_modeller_export() const {
  bool dimlfac_overrides = std::any_of(dimensions.begin(), dimensions.end(),
                                       [](const DimensionFacts& d) { return d.override_dimlfac; });
  bool modeller_names = !modeller_blocks.empty() || !modeller_layers.empty() || na_texts > 0;
  return views_on_current_layout() && (dimlfac_overrides || modeller_names);
}

namespace {

// What the survey takes from one main entity's record. The views point
// into the record, which stays as it is while the survey runs.
struct RecordFacts {
  std::string_view type;
  std::string_view layer = "0";
  std::string_view block, style, text, handle_text;
  std::optional<uint64_t> handle;
  int flags = 0;
  int lineweight = kLineWeightByLayer;
  // Dimensions, leaders and tolerances only:
  bool dimension = false;
  std::optional<double> measurement;  // DIMENSION only: 42, or measured
  std::optional<double> override_dimlfac;
  std::string_view unreadable_dimlfac;
  std::optional<host::DrawnDimension> drawn;  // what a dimension's block shows
};

RecordFacts ReadRecordFacts(const host::Drawing& drawing, host::EntityId id,
                            std::vector<dxf::TagView>* tags) {
  RecordFacts facts;
  facts.type = drawing.EntityType(id);
  drawing.EntityTags(id, tags);
  for (const dxf::TagView& tag : *tags) {
    if (tag.code == 1001) break;  // extended data follows
    switch (tag.code) {
      case 8:
        facts.layer = tag.value;
        break;
      case 5:
        facts.handle_text = Trim(tag.value);
        facts.handle = ParseHandle(tag.value);
        break;
      case 2:
        facts.block = tag.value;
        break;
      case 3:
        facts.style = tag.value;
        break;
      case 1:
        facts.text = tag.value;
        break;
      case 42:
        facts.measurement = ParseDouble(tag.value);
        break;
      case 70:
        facts.flags = static_cast<int>(ParseInt(tag.value).value_or(0));
        break;
      case 370:
        facts.lineweight = static_cast<int>(ParseInt(tag.value).value_or(kLineWeightByLayer));
        break;
    }
  }
  facts.dimension =
      facts.type == "DIMENSION" || facts.type == "LEADER" || facts.type == "TOLERANCE";
  if (!facts.dimension) return facts;
  if (facts.type != "DIMENSION")
    facts.measurement.reset();  // 42 means something else there
  else if (!facts.measurement)
    facts.measurement = MeasureDimension(*tags, facts.flags);
  facts.override_dimlfac = DimlfacOverride(*tags, &facts.unreadable_dimlfac);
  return facts;
}

}  // namespace

DrawingSurvey SurveyDrawing(const host::Drawing& drawing) {
  DrawingSurvey survey;
  survey.version = drawing.version();
  if (auto codepage = drawing.HeaderVar("$DWGCODEPAGE"); codepage && !codepage->empty())
    survey.codepage = std::string(Trim(codepage->front().value));
  if (auto tilemode = drawing.HeaderVar("$TILEMODE"); tilemode && !tilemode->empty())
    survey.tilemode = ParseInt(tilemode->front().value).value_or(1) != 0;

  // Spaces: model space first, then the layouts in the order of their containers.
  std::unordered_map<host::ContainerId, size_t> space_index;
  auto add_space = [&](host::ContainerId id) {
    const host::Container& container = drawing.container(id);
    SpaceFacts space;
    space.model = container.kind == host::ContainerKind::kModelSpace;
    space.layout = space.model ? "Model" : container.layout_name;
    space.current = space.model ? survey.tilemode : !survey.tilemode && container.active_layout;
    space_index[id] = survey.spaces.size();
    survey.spaces.push_back(space);
  };
  if (drawing.model_space() != host::kNoContainer) add_space(drawing.model_space());
  for (host::ContainerId id = 0; id < drawing.container_count(); ++id) {
    const host::Container& container = drawing.container(id);
    if (container.kind == host::ContainerKind::kLayout && !container.erased) add_space(id);
  }

  std::unordered_map<std::string, size_t> layer_index, style_index;
  SurveyTables(drawing, &survey, &layer_index, &style_index);

  std::vector<std::string> blocks_seen, layers_seen;
  std::unordered_map<std::string_view, size_t> layer_by_text;  // into survey.layers
  // The main entities are taken in walk order, a chunk at a time. What each
  // one's record holds is read for a whole chunk first (in two halves at
  // once, for the drawing is only read), then gathered in order. A chunk is
  // small enough for its facts to stay in the cache and to be reused rather
  // than allocated afresh for every survey of a large drawing.
  constexpr size_t kChunk = 4 * host::kTwoHalvesFrom;
  std::vector<host::EntityId> chunk;
  std::vector<RecordFacts> facts;
  // The lists are made as long as the entities' flags say (no record is read
  // for it): grown by doubling, a list of a hundred thousand dimensions
  // would for a moment take three times its room.
  size_t mains = 0, dimension_entities = 0;
  for (host::EntityId id = drawing.FirstEntity(); id != host::kNoEntity;
       id = drawing.NextEntity(id)) {
    const host::Entity& entity = drawing.entity(id);
    if (entity.parent != host::kNoEntity) continue;
    ++mains;
    dimension_entities += entity.dimension ? 1 : 0;
  }
  survey.handles.reserve(mains);
  survey.dimensions.reserve(dimension_entities);
  host::EntityId next = drawing.FirstEntity();
  while (next != host::kNoEntity) {
    chunk.clear();
    for (; next != host::kNoEntity && chunk.size() < kChunk; next = drawing.NextEntity(next)) {
      if (drawing.entity(next).parent == host::kNoEntity && !IsSubentity(drawing.EntityType(next)))
        chunk.push_back(next);
    }
    facts.resize(chunk.size());
    auto read = [&](size_t begin, size_t end) {
      std::vector<dxf::TagView> tags;
      std::optional<host::DimensionInspector> inspector;
      for (size_t i = begin; i < end; ++i) {
        facts[i] = ReadRecordFacts(drawing, chunk[i], &tags);
        if (!host::IsDimensionType(facts[i].type)) continue;
        if (!inspector) inspector.emplace(drawing);
        facts[i].drawn = inspector->Inspect(chunk[i]);
      }
    };
    host::RunInTwoHalvesIfLong(chunk.size(), read);
    // The dimensions' list grows by the chunk's dimensions, at least doubling.
    size_t dimensions = survey.dimensions.size();
    for (const RecordFacts& fact : facts) dimensions += fact.dimension ? 1 : 0;
    if (dimensions > survey.dimensions.capacity())
      survey.dimensions.reserve(std::max(dimensions, 2 * survey.dimensions.capacity()));
    for (size_t i = 0; i < chunk.size(); ++i) {
      const RecordFacts& fact = facts[i];
      const host::Entity& entity = drawing.entity(chunk[i]);
      std::string_view type = fact.type;
      ++survey.main_entities;
      auto space = space_index.find(entity.container);
      if (space != space_index.end()) {
        ++survey.spaces[space->second].entities;
        if (type == "VIEWPORT") ++survey.spaces[space->second].viewports;
      }
      ++survey.entity_lineweights[fact.lineweight];
      if (fact.handle) survey.handles.push_back(*fact.handle);

      // Most entities name a layer that an entity before them named just
      // so: its facts are found by the text as written.
      auto spelled = layer_by_text.find(fact.layer);
      if (spelled == layer_by_text.end()) {
        std::string layer_name = drawing.encoding().Decode(fact.layer);
        std::string layer_key = Upper(layer_name);
        auto known = layer_index.find(layer_key);
        if (known == layer_index.end()) {
          known = layer_index.emplace(layer_key, survey.layers.size()).first;
          survey.layers.push_back({layer_name, 0, false, std::nullopt});
        }
        for (const char* name : kModellerLayers) {
          if (layer_key == Upper(name) &&
              std::find(layers_seen.begin(), layers_seen.end(), layer_name) == layers_seen.end())
            layers_seen.push_back(layer_name);
        }
        spelled = layer_by_text.emplace(fact.layer, known->second).first;
      }
      ++survey.layers[spelled->second].entities;

      if (type == "INSERT") {
        for (const char* prefix : kModellerBlocks) {
          if (fact.block.substr(0, std::string_view(prefix).size()) == prefix) {
            std::string name = drawing.encoding().Decode(fact.block);
            if (std::find(blocks_seen.begin(), blocks_seen.end(), name) == blocks_seen.end())
              blocks_seen.push_back(name);
          }
        }
      }

      if (!fact.dimension) continue;
      DimensionFacts dimension;
      dimension.type = std::string(type);
      dimension.handle = std::string(fact.handle_text);
      dimension.layout = space != space_index.end() ? survey.spaces[space->second].layout : "";
      dimension.style = fact.style.empty() ? "STANDARD" : drawing.encoding().Decode(fact.style);
      dimension.kind = fact.flags & 0x0F;
      dimension.measurement = fact.measurement;
      dimension.override_dimlfac = fact.override_dimlfac;
      dimension.unreadable_dimlfac = std::string(fact.unreadable_dimlfac);
      auto style_entry = style_index.find(Upper(dimension.style));
      if (style_entry != style_index.end()) {
        DimensionStyleFacts& style_facts = survey.dimension_styles[style_entry->second];
        dimension.style_dimlfac = style_facts.dimlfac;
        ++style_facts.dimensions;
      }
      if (type == "DIMENSION") dimension.text = drawing.encoding().Decode(fact.text);
      if (type == "DIMENSION" && fact.text.find("N/A") != std::string_view::npos) {
        dimension.text_has_na = true;
        ++survey.na_texts;
      }
      if (fact.drawn) {
        const host::DrawnDimension& drawn = *fact.drawn;
        dimension.has_drawn_text = drawn.has_text;
        dimension.drawn_text = drawing.encoding().Decode(drawn.text);
        if (drawn.value) dimension.drawn_value = drawing.encoding().Decode(*drawn.value);
        dimension.drawn_as_data = !drawn.has_text || drawn.text == drawn.regenerated;
      }
      survey.dimensions.push_back(std::move(dimension));
    }
  }
  survey.modeller_blocks = std::move(blocks_seen);
  survey.modeller_layers = std::move(layers_seen);
  return survey;
}

const DimensionFacts* AutoReference(const DrawingSurvey& survey) {
  // Values in the order first met, with how many carry each.
  std::vector<std::pair<double, size_t>> counts;
  for (const DimensionFacts& dimension : survey.dimensions) {
    if (!dimension.override_dimlfac) continue;
    auto it = std::find_if(counts.begin(), counts.end(), [&](const auto& entry) {
      return entry.first == *dimension.override_dimlfac;
    });
    if (it == counts.end())
      counts.emplace_back(*dimension.override_dimlfac, 1);
    else
      ++it->second;
  }
  if (counts.empty()) return nullptr;
  auto best = counts.begin();
  for (auto it = counts.begin(); it != counts.end(); ++it)
    if (it->second > best->second) best = it;
  for (const DimensionFacts& dimension : survey.dimensions)
    if (dimension.override_dimlfac == best->first) return &dimension;
  return nullptr;
}

}  // namespace cli
