#include "host/commands/tag_edit.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "dxf/document.h"
#include "dxf/tag.h"
#include "dxf/text_case.h"

namespace host::commands {

// The views are only needed while copying: one buffer, reused, saves an
// allocation per record when a command copies a million of them.
std::vector<dxf::TagView>& ViewBuffer() {
  thread_local std::vector<dxf::TagView> views;
  return views;
}

dxf::Tags CopyEntityTags(const Drawing& drawing, EntityId id) {
  std::vector<dxf::TagView>& views = ViewBuffer();
  drawing.EntityTags(id, &views);
  return dxf::TagsOf(views);
}

dxf::Tags TagsFromViews(const std::vector<dxf::TagView>& views) { return dxf::TagsOf(views); }

void CopyEntityTags(const Drawing& drawing, EntityId id, std::vector<dxf::TagView>* views,
                    dxf::Tags* tags) {
  drawing.EntityTags(id, views);
  tags->resize(views->size());
  for (size_t i = 0; i < views->size(); ++i) {
    (*tags)[i].code = (*views)[i].code;
    (*tags)[i].value.assign((*views)[i].value);
  }
}

bool SameTags(const std::vector<dxf::TagView>& views, const dxf::Tags& tags) {
  if (views.size() != tags.size()) return false;
  for (size_t i = 0; i < views.size(); ++i) {
    if (views[i].code != tags[i].code || views[i].value != tags[i].value) return false;
  }
  return true;
}

dxf::Tags CopyTableRecordTags(const Drawing& drawing, TableRecordId id) {
  std::vector<dxf::TagView>& views = ViewBuffer();
  drawing.TableRecordTags(id, &views);
  return dxf::TagsOf(views);
}

size_t ExtendedDataStart(const dxf::Tags& tags) {
  for (size_t i = 0; i < tags.size(); ++i) {
    if (tags[i].code == 1001) return i;
  }
  return tags.size();
}

size_t FindTag(const dxf::Tags& tags, int code, size_t from) { return FindTagIn(tags, code, from); }

std::string TagValue(const dxf::Tags& tags, int code, std::string_view fallback) {
  size_t i = FindTag(tags, code);
  return i == kNoTag ? std::string(fallback) : tags[i].value;
}

void SetOrAppendTag(dxf::Tags* tags, int code, const std::string& value) {
  size_t i = FindTag(*tags, code);
  if (i != kNoTag) {
    (*tags)[i].value = value;
    return;
  }
  tags->insert(tags->begin() + static_cast<std::ptrdiff_t>(ExtendedDataStart(*tags)),
               dxf::Tag(code, value));
}

void SetTagInOrder(dxf::Tags* tags, int code, const std::string& value,
                   std::initializer_list<int> order, size_t fallback_index) {
  if (size_t i = FindTag(*tags, code); i != kNoTag) {
    (*tags)[i].value = value;
    return;
  }
  std::vector<int> earlier;
  for (int c : order) {
    if (c == code) break;
    earlier.push_back(c);
  }
  size_t at = kNoTag;
  size_t end = ExtendedDataStart(*tags);
  for (size_t i = 0; i < end; ++i) {
    if ((*tags)[i].code == 101) break;
    for (int c : earlier) {
      if ((*tags)[i].code == c) at = i + 1;
    }
  }
  if (at == kNoTag) at = std::min(fallback_index, end);
  tags->insert(tags->begin() + static_cast<std::ptrdiff_t>(at), dxf::Tag(code, value));
}

void RemoveTags(dxf::Tags* tags, int code) { RemoveTagsIn(tags, code); }

std::optional<double> ParseReal(std::string_view text) {
  text = dxf::TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  // from_chars does not take ".5" or "-.5"; CAD files and users write them.
  std::string number(text);
  if (number.front() == '.') number.insert(0, "0");
  if (number.size() > 1 && number[0] == '-' && number[1] == '.') number.insert(1, "0");
  double value = 0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

std::optional<long long> ParseInteger(std::string_view text) {
  text = dxf::TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  long long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

double TagReal(const dxf::Tags& tags, int code, double fallback) {
  size_t i = FindTag(tags, code);
  if (i == kNoTag) return fallback;
  return ParseReal(tags[i].value).value_or(fallback);
}

long long TagInteger(const dxf::Tags& tags, int code, long long fallback) {
  size_t i = FindTag(tags, code);
  if (i == kNoTag) return fallback;
  return ParseInteger(tags[i].value).value_or(fallback);
}

}  // namespace host::commands
