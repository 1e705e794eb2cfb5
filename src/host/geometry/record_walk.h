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
// ... 102 "}"), or i + 1 when the group is not closed before end (then only
// the opening tag is passed over, so that a damaged record keeps its data).
template <class TagT>
size_t SkipAppGroup(const std::vector<TagT>& tags, size_t i, size_t end) {
  for (size_t j = i + 1; j < end; ++j) {
    if (tags[j].code == 102) return dxf::TrimBlanks(tags[j].value) == "}" ? j + 1 : i + 1;
  }
  return i + 1;
}

// True when a subclass marker other than AcDbEntity names the entity's data.
// Some writers put only "100 AcDbEntity" before everything; their data then
// stands under that marker.
template <class TagT>
bool HasDataMarker(const std::vector<TagT>& tags) {
  size_t end = XdataBegin(tags);
  for (size_t i = 0; i < end; ++i) {
    if (tags[i].code == 100 && dxf::TrimBlanks(tags[i].value) != "AcDbEntity") return true;
  }
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
      : tags_(tags),
        index_(!tags.empty() && tags[0].code == 0 ? 1 : 0),
        entity_part_is_data_(!HasDataMarker(tags)) {}

  // The index of the next own tag, or nullopt at the end; covered is how
  // many tags the one returned before took (a point's x, y and z).
  std::optional<size_t> Next(size_t covered = 1) {
    if (started_) index_ += covered;
    started_ = true;
    while (index_ < tags_.size() && tags_[index_].code != 1001) {
      const TagT& tag = tags_[index_];
      if (tag.code == 102 && dxf::TrimBlanks(tag.value).starts_with("{")) {
        index_ = SkipAppGroup(tags_, index_, XdataBegin(tags_));
      } else if (tag.code == 100) {
        marker_ = index_;
        embedded_ = false;
        in_entity_part_ = dxf::TrimBlanks(tag.value) == "AcDbEntity";
        ++index_;
      } else if (tag.code == 101) {
        embedded_ = true;
        in_entity_part_ = false;
        ++index_;
      } else if (in_entity_part_ && !entity_part_is_data_) {
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
    // Looked up when asked (tags may move when the vector grows; the marker
    // stands before the current tag, where nothing is added).
    return dxf::TrimBlanks(tags_[marker_].value);
  }

 private:
  static constexpr size_t kNoMarker = SIZE_MAX;
  const std::vector<TagT>& tags_;
  size_t index_;
  bool entity_part_is_data_;
  bool started_ = false;
  size_t marker_ = kNoMarker;  // index of the 100 tag the current tag stands under
  bool embedded_ = false;      // after a 101 "Embedded Object"
  bool in_entity_part_ = false;
};

// Calls fn(subclass, index) for each tag of the entity's own data.
template <class TagT, class Fn>
void ForEachOwnTag(const std::vector<TagT>& tags, Fn fn) {
  OwnDataWalk walk(tags);
  while (std::optional<size_t> i = walk.Next()) fn(walk.subclass(), *i);
}

// The first integer of code among the entity's own data outside an embedded
// object.
template <class TagT>
std::optional<long long> OwnInteger(const std::vector<TagT>& tags, int code) {
  std::optional<long long> found;
  ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
    if (!found && tags[i].code == code && subclass != kEmbeddedObject) {
      found = dxf::ParseInt(tags[i].value);
    }
  });
  return found;
}

template <class TagT>
std::optional<double> OwnNumber(const std::vector<TagT>& tags, int code) {
  std::optional<double> found;
  ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
    if (!found && tags[i].code == code && subclass != kEmbeddedObject) {
      found = dxf::ParseDouble(tags[i].value);
    }
  });
  return found;
}

// The extrusion direction (210/220/230) of the entity, (0,0,1) when absent.
template <class TagT>
Vec3 ExtrusionOf(const std::vector<TagT>& tags) {
  Vec3 n{0, 0, 1};
  bool seen = false;
  ForEachOwnTag(tags, [&](std::string_view subclass, size_t i) {
    if (seen || subclass == kEmbeddedObject) return;
    int code = tags[i].code;
    std::optional<double> v;
    if (code == 210 || code == 220 || code == 230) v = dxf::ParseDouble(tags[i].value);
    if (!v) return;
    if (code == 210) n.x = *v;
    if (code == 220) n.y = *v;
    if (code == 230) {
      n.z = *v;
      seen = true;  // the first complete extrusion wins
    }
  });
  return n;
}

}  // namespace host::geometry
