#include "host/commands/current_space.h"

#include "host/commands/tag_edit.h"

namespace host::commands {

bool TileModeOn(const Drawing& drawing) {
  std::optional<dxf::Tags> value = drawing.HeaderVar("$TILEMODE");
  if (!value || value->empty()) return true;
  return ParseInteger(value->front().value).value_or(1) != 0;
}

void SetTileMode(Drawing& drawing, bool on) {
  drawing.SetHeaderVar("$TILEMODE", {dxf::Tag(70, on ? "1" : "0")});
}

ContainerId CurrentSpace(const Drawing& drawing) {
  if (!TileModeOn(drawing) && drawing.active_layout() != kNoContainer) {
    return drawing.active_layout();
  }
  return drawing.model_space();
}

std::vector<EntityId> MainEntitiesOf(const Drawing& drawing, ContainerId space) {
  std::vector<EntityId> result;
  for (EntityId id = drawing.FirstEntity(); id != kNoEntity; id = drawing.NextEntity(id)) {
    const Entity& entity = drawing.entity(id);
    if (entity.container == space && entity.parent == kNoEntity) result.push_back(id);
  }
  return result;
}

std::vector<EntityId> SubEntitiesOf(const Drawing& drawing, EntityId main) {
  std::vector<EntityId> result;
  for (EntityId id = drawing.NextEntity(main); id != kNoEntity; id = drawing.NextEntity(id)) {
    if (drawing.entity(id).parent != main) break;
    result.push_back(id);
  }
  return result;
}

EntityId MainViewport(const Drawing& drawing, ContainerId layout) {
  EntityId first = kNoEntity;
  std::vector<dxf::TagView> tags;
  for (EntityId id : MainEntitiesOf(drawing, layout)) {
    if (drawing.EntityType(id) != "VIEWPORT") continue;
    if (first == kNoEntity) first = id;
    drawing.EntityTags(id, &tags);
    for (const dxf::TagView& tag : tags) {
      if (tag.code == 69 && ParseInteger(tag.value) == 1) return id;
    }
  }
  return first;
}

}  // namespace host::commands
