#include "host/api/pick_candidates.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "host/api/entity_chain.h"
#include "host/api/text_util.h"

namespace host::api {

namespace {

bool IsDimensionLike(std::string_view type) {
  // Every entity's type is asked: a short one is put in capitals on the stack.
  char buffer[32];
  std::string long_upper;
  std::string_view upper;
  if (type.size() <= sizeof buffer) {
    for (size_t i = 0; i < type.size(); ++i)
      buffer[i] = static_cast<char>(ToUpper1252(static_cast<unsigned char>(type[i])));
    upper = std::string_view(buffer, type.size());
  } else {
    long_upper = ToUpper1252(type);
    upper = long_upper;
  }
  return upper.find("DIMENSION") != std::string_view::npos || upper == "LEADER" ||
         upper == "TOLERANCE";
}

// As "%.6g" writes it; to_chars gives the same text in a fraction of the time.
std::string Number(double value) {
  char text[40];
  if (!std::isfinite(value)) {
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
  }
  std::to_chars_result end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
  return std::string(text, end.ptr);
}

const RecordItem* FirstOfCode(const ParsedRecord& rec, int code) {
  for (size_t i = 1; i < rec.layout.xdata; ++i) {
    if (rec.items[i].code == code) return &rec.items[i];
  }
  return nullptr;
}

}  // namespace

DimensionStyleOverrides ReadStyleOverrides(const Drawing& drawing, const ParsedRecord& rec) {
  DimensionStyleOverrides found;
  std::string scratch;
  bool in_acad = false;
  bool in_list = false;
  const std::vector<RecordItem>& items = rec.items;
  for (size_t i = rec.layout.xdata; i < items.size(); ++i) {
    const RecordItem& item = items[i];
    if (item.code == 1001) {
      in_acad = EqualsNoCase(DecodeText(drawing, TrimBlanks(item.text), &scratch), "ACAD");
      in_list = false;
      continue;
    }
    if (!in_acad) continue;
    if (!in_list) {
      if (item.code == 1000 && TrimBlanks(item.text) == "DSTYLE") {
        found.present = true;
        if (i + 1 < items.size() && items[i + 1].code == 1002 &&
            TrimBlanks(items[i + 1].text) == "{") {
          in_list = true;
          ++i;
        }
      }
      continue;
    }
    if (item.code == 1002) {
      in_list = false;
      continue;
    }
    if (item.code == 1070 && item.integer == 144 && i + 1 < items.size() &&
        items[i + 1].code == 1040) {
      found.dimlfac = items[i + 1].real[0];
      ++i;
    }
  }
  return found;
}

std::vector<PickChoice> DimensionCandidates(const Drawing& drawing, bool described) {
  std::vector<PickChoice> choices;
  ParsedRecord rec;
  for (EntityId id = drawing.FirstEntity(); id != kNoEntity; id = drawing.NextEntity(id)) {
    if (drawing.entity(id).parent != kNoEntity) continue;
    std::string_view type = drawing.EntityType(id);
    if (!IsDimensionLike(type)) continue;
    ReadEntityRecord(drawing, id, &rec);
    DimensionStyleOverrides overrides = ReadStyleOverrides(drawing, rec);
    if (!overrides.present) continue;

    PickChoice choice;
    choice.entity = id;
    choice.candidate.handle = EntityHandleText(drawing, id, rec);
    choice.candidate.dimlfac = overrides.dimlfac;
    const RecordItem* at = FirstOfCode(rec, 11);
    if (at == nullptr || type != "DIMENSION") at = FirstOfCode(rec, 10);
    bool placed = at != nullptr && at->kind == ItemKind::kPoint;
    if (placed) {
      for (int k = 0; k < 3; ++k) choice.point[k] = at->real[k];
    }
    if (!described) {
      choices.push_back(std::move(choice));
      continue;
    }
    choice.candidate.layout = std::string(SpaceOf(drawing, id).layout_name);
    std::string description(type);
    if (placed) description += " bei " + Number(at->real[0]) + "," + Number(at->real[1]);
    if (const RecordItem* measured = FirstOfCode(rec, 42); measured != nullptr) {
      description += ", Messwert " + Number(measured->real[0]);
    }
    if (overrides.dimlfac) description += ", DIMLFAC " + Number(*overrides.dimlfac);
    choice.candidate.description = description;
    choices.push_back(std::move(choice));
  }
  return choices;
}

EntityId FindEntityByHandle(const Drawing& drawing, std::string_view handle) {
  handle = TrimBlanks(handle);
  if (handle.empty()) return kNoEntity;
  EntityId id = drawing.FindEntityByHandle(handle);
  if (id == kNoEntity && !drawing.has_handles()) {
    // The handles made up for a drawing without any: the entity's id + 1.
    uint64_t value = ParseHandle(handle);
    if (value >= 1 && value <= drawing.entity_count()) id = static_cast<EntityId>(value - 1);
  }
  if (id == kNoEntity) return kNoEntity;
  const Entity& entity = drawing.entity(id);
  if (entity.erased || entity.parent != kNoEntity || SpaceOf(drawing, id).in_block) {
    return kNoEntity;
  }
  return id;
}

}  // namespace host::api
