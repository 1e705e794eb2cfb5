// Small helpers for reading and changing records as tag lists. Values are
// the file's text (its encoding); numbers are read leniently (blanks around
// them allowed) and written canonically.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dxf/tag.h"
#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host::commands {

constexpr size_t kNoTag = static_cast<size_t>(-1);

dxf::Tags CopyEntityTags(const Drawing& drawing, EntityId id);
// Tags of their own from views of a record.
dxf::Tags TagsFromViews(const std::vector<dxf::TagView>& views);
// The same into *tags, whose strings are written over (a command that
// copies a million records then allocates next to nothing), leaving the
// record's tags as views in *views.
void CopyEntityTags(const Drawing& drawing, EntityId id, std::vector<dxf::TagView>* views,
                    dxf::Tags* tags);
// Whether tags hold the codes and values of views, tag for tag.
bool SameTags(const std::vector<dxf::TagView>& views, const dxf::Tags& tags);
dxf::Tags CopyTableRecordTags(const Drawing& drawing, TableRecordId id);

// Index of the first tag with the code at or after from, before the
// extended data (1001) and embedded objects (101); kNoTag if none.
size_t FindTag(const dxf::Tags& tags, int code, size_t from = 0);
// The same on either kind of tag list (tags of their own or views).
template <class TagT>
size_t FindTagIn(const std::vector<TagT>& tags, int code, size_t from = 0) {
  for (size_t i = from; i < tags.size(); ++i) {
    // Embedded objects (101) and extended data reuse the ordinary codes.
    if (tags[i].code == 1001 || tags[i].code == 101) return kNoTag;
    if (tags[i].code == code) return i;
  }
  return kNoTag;
}
// Index of the first tag of the extended data (1001), or tags.size().
size_t ExtendedDataStart(const dxf::Tags& tags);
// The value of the first such tag, or fallback.
std::string TagValue(const dxf::Tags& tags, int code, std::string_view fallback = {});
// Sets the first tag with the code to value, or appends code/value before
// the extended data when there is none.
void SetOrAppendTag(dxf::Tags* tags, int code, const std::string& value);
// Sets the first tag with the code to value; when there is none, inserts it
// where order (the codes in their usual order) puts it: after the last tag
// before the extended data whose code comes earlier in order, else at
// fallback_index.
void SetTagInOrder(dxf::Tags* tags, int code, const std::string& value,
                   std::initializer_list<int> order, size_t fallback_index);
// Removes every tag with the code before the extended data.
void RemoveTags(dxf::Tags* tags, int code);
// The same on either kind of tag list.
template <class TagT>
void RemoveTagsIn(std::vector<TagT>* tags, int code) {
  size_t out = 0;
  bool in_xdata = false;
  for (size_t i = 0; i < tags->size(); ++i) {
    in_xdata = in_xdata || (*tags)[i].code == 1001;
    if (!in_xdata && (*tags)[i].code == code) continue;
    if (out != i) (*tags)[out] = std::move((*tags)[i]);
    ++out;
  }
  tags->resize(out);
}

std::optional<double> ParseReal(std::string_view text);
std::optional<long long> ParseInteger(std::string_view text);
// The numeric value of the first tag with the code, or fallback.
double TagReal(const dxf::Tags& tags, int code, double fallback);
long long TagInteger(const dxf::Tags& tags, int code, long long fallback);

}  // namespace host::commands
