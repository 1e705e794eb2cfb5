#include "host/commands/dstyle_overrides.h"

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/commands/tag_edit.h"

namespace host::commands {

namespace {

// Where the "ACAD" data and the DSTYLE list in them lie in a record.
struct Location {
  size_t app = kNoTag;       // the "1001 ACAD" tag
  size_t app_end = 0;        // the next 1001 or the end of the record
  size_t list = kNoTag;      // the "1000 DSTYLE" tag
  size_t list_end = kNoTag;  // one past the closing "1002 }"
};

Location Locate(const dxf::Tags& tags) {
  Location at;
  for (size_t i = ExtendedDataStart(tags); i < tags.size(); ++i) {
    if (tags[i].code == 1001 && dxf::EqualNoCase(dxf::TrimBlanks(tags[i].value), "ACAD")) {
      at.app = i;
      break;
    }
  }
  if (at.app == kNoTag) return at;
  at.app_end = tags.size();
  for (size_t i = at.app + 1; i < tags.size(); ++i) {
    if (tags[i].code == 1001) {
      at.app_end = i;
      break;
    }
  }
  for (size_t i = at.app + 1; i + 1 < at.app_end; ++i) {
    if (tags[i].code == 1000 && dxf::EqualNoCase(dxf::TrimBlanks(tags[i].value), "DSTYLE") &&
        tags[i + 1].code == 1002 && dxf::TrimBlanks(tags[i + 1].value) == "{") {
      at.list = i;
      break;
    }
  }
  if (at.list == kNoTag) return at;
  // The list ends at its matching "}"; a list left open ends with the data.
  at.list_end = at.app_end;
  int depth = 0;
  for (size_t i = at.list + 1; i < at.app_end; ++i) {
    if (tags[i].code != 1002) continue;
    std::string_view brace = dxf::TrimBlanks(tags[i].value);
    if (brace == "{") ++depth;
    if (brace == "}" && --depth == 0) {
      at.list_end = i + 1;
      break;
    }
  }
  return at;
}

std::vector<DstyleOverride> Pairs(const dxf::Tags& tags, const Location& at) {
  std::vector<DstyleOverride> pairs;
  if (at.list == kNoTag) return pairs;
  size_t end = at.list_end;
  if (end > at.list && tags[end - 1].code == 1002) --end;  // the closing brace
  for (size_t i = at.list + 2; i + 1 < end; ++i) {
    if (tags[i].code != 1070) continue;
    std::optional<long long> code = ParseInteger(tags[i].value);
    if (!code) continue;
    pairs.push_back(DstyleOverride{static_cast<int>(*code), tags[i + 1]});
    ++i;
  }
  return pairs;
}

dxf::Tags ListTags(const std::vector<DstyleOverride>& pairs) {
  dxf::Tags list = {dxf::Tag(1000, "DSTYLE"), dxf::Tag(1002, "{")};
  for (const DstyleOverride& pair : pairs) {
    list.emplace_back(1070, dxf::FormatInt(pair.variable_code));
    list.push_back(pair.value);
  }
  list.emplace_back(1002, "}");
  return list;
}

}  // namespace

std::vector<DstyleOverride> ReadDstyleOverrides(const dxf::Tags& tags) {
  return Pairs(tags, Locate(tags));
}

void MergeDstyleOverrides(dxf::Tags* tags, const std::vector<DstyleOverride>& overrides) {
  Location at = Locate(*tags);
  std::vector<DstyleOverride> pairs = Pairs(*tags, at);
  for (const DstyleOverride& wanted : overrides) {
    bool replaced = false;
    for (DstyleOverride& pair : pairs) {
      if (pair.variable_code == wanted.variable_code) {
        pair.value = wanted.value;
        replaced = true;
      }
    }
    if (!replaced) pairs.push_back(wanted);
  }
  dxf::Tags list = ListTags(pairs);
  auto position = [&](size_t index) { return tags->begin() + static_cast<std::ptrdiff_t>(index); };
  if (at.app == kNoTag) {
    tags->emplace_back(1001, "ACAD");
    tags->insert(tags->end(), list.begin(), list.end());
  } else if (at.list == kNoTag) {
    tags->insert(position(at.app_end), list.begin(), list.end());
  } else {
    tags->erase(position(at.list), position(at.list_end));
    tags->insert(position(at.list), list.begin(), list.end());
  }
}

void ClearDstyleOverrides(dxf::Tags* tags) {
  Location at = Locate(*tags);
  if (at.list == kNoTag) return;
  auto position = [&](size_t index) { return tags->begin() + static_cast<std::ptrdiff_t>(index); };
  tags->erase(position(at.list), position(at.list_end));
  size_t app_end = at.app_end - (at.list_end - at.list);
  if (app_end == at.app + 1) tags->erase(position(at.app));
}

}  // namespace host::commands
