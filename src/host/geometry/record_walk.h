// Finding one's way through an entity record: which tags are the entity's
// own data (as opposed to its common properties, application groups such as
// {ACAD_REACTORS, and extended data), and the subclass each stands under.
// Works on tags (dxf::Tag) and on views of a record (dxf::TagView).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "dxf/tag.h"
#include "host/geometry/transform.h"
#include "host/host_only.h"

namespace host::geometry {

// The subclass name given to the tags after a 101 "Embedded Object" marker
// (the MTEXT column data and the MTEXT part of a multi-line attribute).
inline constexpr std::string_view kEmbeddedObject = "Embedded Object";

// The record's type (the value of its leading code 0 tag), or "".
template <class TagT>
std::string_view RecordType(const std::vector<TagT>& tags) {
  if (tags.empty() || tags[0].code != 0) return {};
  return dxf::TrimBlanks(tags[0].value);
}

// Index of the first extended-data tag (1001), or tags.size().
template <class TagT>
size_t XdataBegin(const std::vector<TagT>& tags) {
  for (size_t i = 0; i < tags.size(); ++i) {
    if (tags[i].code == 1001) return i;
  }
  return tags.size();
}

// Index just past an application group that opens at index i (102 "{NAME"
// ... 102 "}"), or i + 1 when the group is not closed before end or the
// extended data (then only the opening tag is passed over, so that a
// damaged record keeps its data). The search ends at the next 102 or 1001:
// a record of many groups left open costs one pass, not one per group.
template <class TagT>
size_t SkipAppGroup(const std::vector<TagT>& tags, size_t i, size_t end) {
  for (size_t j = i + 1; j < end && tags[j].code != 1001; ++j) {
    if (tags[j].code == 102) return dxf::TrimBlanks(tags[j].value) == "}" ? j + 1 : i + 1;
  }
  return i + 1;
}

// True when a subclass marker other than AcDbEntity names the entity's data.
// Some writers put only "100 AcDbEntity" before everything; their data then
// stands under that marker. Looks at the tags from index from up to end or
// the extended data.
template <class TagT>
bool HasDataMarker(const std::vector<TagT>& tags, size_t from = 0, size_t end = SIZE_MAX) {
  for (size_t i = from; i < tags.size() && i < end && tags[i].code != 1001; ++i) {
    if (tags[i].code == 100 && dxf::TrimBlanks(tags[i].value) != "AcDbEntity") return true;
  }
  return false;
}

// Whether any tag, own data or not, has the code.
template <class TagT>
bool HasCode(const std::vector<TagT>& tags, int code) {
  for (const TagT& tag : tags)
    if (tag.code == code) return true;
  return false;
}

// Steps through the tags of the entity's own data, in order. Left out: the
// type tag, subclass markers, application groups, the common properties
// under the AcDbEntity marker and the extended data. The walk holds indices,
// so tags may be added behind the current one while it goes on.
template <class TagT>
class OwnDataWalk {
 public:
  explicit OwnDataWalk(const std::vector<TagT>& tags)
      : tags_(tags), index_(!tags.empty() && tags[0].code == 0 ? 1 : 0) {}

  // The index of the next own tag, or nullopt at the end; covered is how
  // many tags the one returned before took (a point's x, y and z).
  std::optional<size_t> Next(size_t covered = 1) {
    if (started_) index_ += covered;
    started_ = true;
    while (index_ < tags_.size() && tags_[index_].code != 1001) {
      const TagT& tag = tags_[index_];
      if (tag.code == 102 && dxf::TrimBlanks(tag.value).starts_with("{")) {
        // (The walk stops at the first 1001, so the group's search that
        // stops there too ends where the extended data begins.)
        size_t past = SkipAppGroup(tags_, index_, tags_.size());
        // A marker inside the group still counts as one of the record's.
        other_marker_seen_ = other_marker_seen_ || HasDataMarker(tags_, index_, past);
        index_ = past;
      } else if (tag.code == 100) {
        marker_ = index_;
        marker_name_ = dxf::TrimBlanks(tag.value);
        embedded_ = false;
        in_entity_part_ = marker_name_ == "AcDbEntity";
        other_marker_seen_ = other_marker_seen_ || !in_entity_part_;
        ++index_;
      } else if (tag.code == 101) {
        embedded_ = true;
        in_entity_part_ = false;
        ++index_;
      } else if (in_entity_part_ && !EntityPartIsData()) {
        ++index_;
      } else {
        return index_;
      }
    }
    return std::nullopt;
  }

  // The subclass marker the current tag stands under; "" before the first
  // marker (R12) and for data that stands under AcDbEntity.
  std::string_view subclass() const {
    if (embedded_) return kEmbeddedObject;
    if (in_entity_part_ || marker_ == kNoMarker) return {};
    // Views keep their text where it is; a tag of its own moves with the
    // vector when it grows, so its name is looked up when asked (the marker
    // stands before the current tag, where nothing is added).
    if constexpr (std::is_same_v<TagT, dxf::TagView>) {
      return marker_name_;
    } else {
      return dxf::TrimBlanks(tags_[marker_].value);
    }
  }

 private:
  static constexpr size_t kNoMarker = SIZE_MAX;
  // Whether the tags under AcDbEntity are the entity's data: only when no
  // other marker stands in the record. Looked for when first needed, from
  // where the walk is (the markers before it have been seen).
  bool EntityPartIsData() {
    if (!entity_part_known_) {
      entity_part_is_data_ = !other_marker_seen_ && !HasDataMarker(tags_, index_);
      entity_part_known_ = true;
    }
    return entity_part_is_data_;
  }

  const std::vector<TagT>& tags_;
  size_t index_;
  bool entity_part_known_ = false;
  bool entity_part_is_data_ = false;
  bool other_marker_seen_ = false;
  bool started_ = false;
  size_t marker_ = kNoMarker;     // index of the 100 tag the current tag stands under
  std::string_view marker_name_;  // its value, valid for views
  bool embedded_ = false;         // after a 101 "Embedded Object"
  bool in_entity_part_ = false;
};

// Calls fn(subclass, index) for each tag of the entity's own data.
template <class TagT, class Fn>
void ForEachOwnTag(const std::vector<TagT>& tags, Fn fn) {
  OwnDataWalk walk(tags);
  while (std::optional<size_t> i = walk.Next()) fn(walk.subclass(), *i);
}

// The first value of code among the entity's own data outside an embedded
// object that parse reads (a value it cannot read is passed over). The walk
// stops there.
template <class TagT, class Parse>
auto FirstOwnValue(const std::vector<TagT>& tags, int code, Parse parse)
    -> decltype(parse(std::string_view())) {
  // Most records lack most codes: a look at the codes alone settles that
  // for a fraction of the walk's cost.
  if (!HasCode(tags, code)) return std::nullopt;
  OwnDataWalk walk(tags);
  while (std::optional<size_t> i = walk.Next()) {
    if (tags[*i].code != code || walk.subclass() == kEmbeddedObject) continue;
    if (auto value = parse(tags[*i].value)) return value;
  }
  return std::nullopt;
}

// The first integer of code among the entity's own data outside an
// embedded object.
template <class TagT>
std::optional<long long> OwnInteger(const std::vector<TagT>& tags, int code) {
  return FirstOwnValue(tags, code, [](std::string_view v) { return dxf::ParseInt(v); });
}

template <class TagT>
std::optional<double> OwnNumber(const std::vector<TagT>& tags, int code) {
  return FirstOwnValue(tags, code, [](std::string_view v) { return dxf::ParseDouble(v); });
}

// The extrusion direction (210/220/230) of the entity, (0,0,1) when absent.
template <class TagT>
Vec3 ExtrusionOf(const std::vector<TagT>& tags) {
  Vec3 n{0, 0, 1};
  // Most entities lie in the plane and carry no extrusion at all: one look
  // at the codes settles that.
  bool any = false;
  for (const TagT& tag : tags) {
    if (tag.code == 210 || tag.code == 220 || tag.code == 230) {
      any = true;
      break;
    }
  }
  if (!any) return n;
  OwnDataWalk walk(tags);
  while (std::optional<size_t> i = walk.Next()) {
    int code = tags[*i].code;
    if ((code != 210 && code != 220 && code != 230) || walk.subclass() == kEmbeddedObject) {
      continue;
    }
    std::optional<double> v = dxf::ParseDouble(tags[*i].value);
    if (!v) continue;
    if (code == 210) n.x = *v;
    if (code == 220) n.y = *v;
    if (code == 230) {
      n.z = *v;
      break;  // the first complete extrusion wins
    }
  }
  return n;
}

}  // namespace host::geometry
