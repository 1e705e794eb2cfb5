#include "host/api/record_values.h"

#include <array>

namespace host::api {

namespace {

// The order in which DIMSTYLE records carry their values.
constexpr std::array<int, 73> kDimStyleOrder = {
    2,   70,  3,   4,   5,   6,   7,   40,  41,  42,  43,  44,  45,  46,  47,  48,  140, 141, 142,
    143, 144, 145, 146, 147, 148, 71,  72,  73,  74,  75,  76,  77,  78,  79,  170, 171, 172, 173,
    174, 175, 176, 177, 178, 179, 271, 272, 273, 274, 275, 276, 277, 278, 279, 280, 281, 282, 283,
    284, 285, 286, 287, 288, 289, 340, 341, 342, 343, 344, 345, 346, 347, 371, 372};

int DimStyleRank(int code) {
  for (size_t i = 0; i < kDimStyleOrder.size(); ++i) {
    if (kDimStyleOrder[i] == code) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

bool SetRecordValue(dxf::Tags* tags, int code, const std::string& value, bool dimstyle) {
  size_t end = tags->size();
  for (size_t i = 1; i < tags->size(); ++i) {
    if ((*tags)[i].code == 1001) {
      end = i;
      break;
    }
  }
  for (size_t i = 1; i < end; ++i) {
    if ((*tags)[i].code != code) continue;
    if ((*tags)[i].value == value) return false;
    (*tags)[i].value = value;
    return true;
  }
  size_t at = end;
  if (dimstyle) {
    // Before the first value that the host writes after this one; the values
    // start with the name (2), after the subclass markers.
    int rank = DimStyleRank(code);
    bool in_values = false;
    for (size_t i = 1; i < end; ++i) {
      int other = (*tags)[i].code;
      if (other == 2) in_values = true;
      if (!in_values) continue;
      int other_rank = DimStyleRank(other);
      if (other_rank > rank) {
        at = i;
        break;
      }
    }
  } else {
    for (size_t i = 1; i < end; ++i) {
      if ((*tags)[i].code == 70) {
        at = i + 1;
        break;
      }
    }
  }
  tags->insert(tags->begin() + static_cast<long>(at), dxf::Tag(code, value));
  return true;
}

}  // namespace host::api
