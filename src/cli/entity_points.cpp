#include "cli/entity_points.h"

#include <cmath>

#include "dxf/tag.h"
#include "host/two_halves.h"

namespace cli {

namespace {

bool HasOwnPoint(std::string_view type) {
  return type != "POLYLINE" && type != "HATCH" && type != "SEQEND";
}

void Measure(const host::Drawing& drawing, EntityPoint* entity, std::vector<dxf::TagView>* tags) {
  drawing.EntityTags(entity->id, tags);
  bool own = HasOwnPoint(drawing.EntityType(entity->id));
  bool x_seen = false;
  for (const dxf::TagView& tag : *tags) {
    if (tag.code == 1001) break;  // extended data follows
    if (tag.code == 5 && entity->handle.empty()) entity->handle = dxf::TrimBlanks(tag.value);
    if (tag.code < 10 || tag.code > 38) continue;
    std::optional<double> value = dxf::ParseDouble(tag.value);
    if (!value) continue;
    entity->reach = std::max(entity->reach, std::fabs(*value));
    if (!own || entity->has_point) continue;
    if (tag.code == 10) {
      entity->x = *value;
      x_seen = true;
    } else if (tag.code == 20 && x_seen) {
      entity->y = *value;
      entity->has_point = true;
    }
  }
}

}  // namespace

std::vector<EntityPoint> MeasureSpace(const host::Drawing& drawing, host::ContainerId space) {
  std::vector<EntityPoint> entities;
  if (space == host::kNoContainer) return entities;
  // Counted first: a list grown by doubling would copy and fault in twice
  // the memory of a space of a million entities.
  auto for_each_in_space = [&](auto visit) {
    for (host::EntityId id = drawing.FirstEntity(); id != host::kNoEntity;
         id = drawing.NextEntity(id)) {
      if (drawing.entity(id).container == space) visit(id);
    }
  };
  size_t count = 0;
  for_each_in_space([&](host::EntityId) { ++count; });
  entities.reserve(count);
  for_each_in_space([&](host::EntityId id) { entities.emplace_back().id = id; });
  host::RunInTwoHalvesIfLong(entities.size(), [&](size_t begin, size_t end) {
    std::vector<dxf::TagView> tags;
    for (size_t i = begin; i < end; ++i) Measure(drawing, &entities[i], &tags);
  });
  return entities;
}

bool FirstPoint(const host::Drawing& drawing, host::EntityId id, double* x, double* y) {
  EntityPoint entity;
  entity.id = id;
  std::vector<dxf::TagView> tags;
  Measure(drawing, &entity, &tags);
  *x = entity.x;
  *y = entity.y;
  return entity.has_point;
}

host::ContainerId CurrentSpace(const host::Drawing& drawing) {
  std::optional<std::string> tilemode = drawing.HeaderValue("$TILEMODE");
  bool model = !tilemode || dxf::ParseInt(*tilemode).value_or(1) != 0;
  return model ? drawing.model_space() : drawing.active_layout();
}

}  // namespace cli
