#include "host/commands/space_membership.h"

#include "host/commands/tag_edit.h"

namespace host::commands {

namespace {

void SetValue(dxf::Tag* tag, std::string_view value) { tag->value.assign(value); }
void SetValue(dxf::TagView* tag, std::string_view value) { tag->value = value; }

template <class TagT>
TagT MakeTag(int code, std::string_view value) {
  TagT tag;
  tag.code = code;
  SetValue(&tag, value);
  return tag;
}

template <class TagT>
size_t FindOwnerTag(const std::vector<TagT>& tags) {
  bool in_group = false;
  for (size_t i = 0; i < tags.size(); ++i) {
    const TagT& tag = tags[i];
    if (tag.code == 1001 || tag.code == 101) break;
    if (tag.code == 102) {
      in_group = !tag.value.empty() && tag.value.front() == '{';
      continue;
    }
    if (tag.code == 330 && !in_group) return i;
  }
  return kNoTag;
}

template <class TagT>
void Place(std::vector<TagT>* tags, const Drawing& drawing, ContainerId space, bool main_entity) {
  const Container& container = drawing.container(space);
  bool model = space == drawing.model_space();
  if (model) {
    RemoveTagsIn(tags, 67);
  } else if (size_t i = FindTagIn(*tags, 67); i != kNoTag) {
    SetValue(&(*tags)[i], "1");
  } else {
    // 67 follows the AcDbEntity marker (R13 on) or stands before the layer.
    size_t at = 1;
    for (size_t j = 1; j < tags->size(); ++j) {
      const TagT& tag = (*tags)[j];
      if (tag.code == 100 && tag.value == "AcDbEntity") {
        at = j + 1;
        break;
      }
      if (tag.code == 8) {
        at = j;
        break;
      }
      if (tag.code == 1001) break;
    }
    tags->insert(tags->begin() + static_cast<std::ptrdiff_t>(at), MakeTag<TagT>(67, "1"));
  }
  if (size_t i = FindTagIn(*tags, 410); i != kNoTag) {
    SetValue(&(*tags)[i], model ? std::string_view("Model") : container.layout_name);
  }
  if (main_entity && !container.block_record_handle.empty()) {
    if (size_t i = FindOwnerTag(*tags); i != kNoTag) {
      SetValue(&(*tags)[i], container.block_record_handle);
    }
  }
}

}  // namespace

size_t OwnerTag(const dxf::Tags& tags) { return FindOwnerTag(tags); }

void PlaceInSpace(dxf::Tags* tags, const Drawing& drawing, ContainerId space, bool main_entity) {
  Place(tags, drawing, space, main_entity);
}

void PlaceInSpace(std::vector<dxf::TagView>* tags, const Drawing& drawing, ContainerId space,
                  bool main_entity) {
  Place(tags, drawing, space, main_entity);
}

dxf::Tags AsNewEntity(const dxf::Tags& tags, const std::string& handle) {
  dxf::Tags out;
  out.reserve(tags.size());
  bool in_group = false;
  bool handle_done = false;
  size_t data_end = ExtendedDataStart(tags);
  for (size_t i = 0; i < tags.size(); ++i) {
    const dxf::Tag& tag = tags[i];
    if (i < data_end) {
      if (tag.code == 102) {
        in_group = !tag.value.empty() && tag.value.front() == '{';
        continue;
      }
      if (in_group || tag.code == 360) continue;
      if (tag.code == 5 && !handle_done) {
        handle_done = true;
        if (!handle.empty()) out.emplace_back(5, handle);
        continue;
      }
    }
    out.push_back(tag);
  }
  if (!handle_done && !handle.empty() && !out.empty()) {
    out.insert(out.begin() + 1, dxf::Tag(5, handle));
  }
  return out;
}

}  // namespace host::commands
