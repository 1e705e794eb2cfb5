// A record's tags read as chain items: a point's x, y and z tags joined into
// one item, numbers parsed, angles in radians. Each item remembers the tags
// it came from, so that acdbEntMod can write an unchanged item back with its
// original text. Strings stay in the file's encoding (views into the record).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "dxf/tag.h"
#include "host/api/item_kinds.h"
#include "host/host_only.h"

namespace host::api {

struct RecordItem {
  int code = 0;
  ItemKind kind = ItemKind::kNone;
  bool flat = false;  // a point written without its z tag
  // An entity's item that its chain leaves out or shows in its own way
  // (see LeftOutOfChain), marked as the record is read.
  bool left_out = false;
  uint32_t first_tag = 0;  // its first tag in ParsedRecord::tags
  uint32_t tag_count = 1;
  double real[3] = {0, 0, 0};  // kReal (radians for angles), kPoint
  long long integer = 0;       // kShort, kLong, and a handle's value for kName
  std::string_view text;       // kString, kName, kBinary: the value as written
};

// Where the items that the entity functions treat apart stand; npos when the
// record has none.
struct RecordLayout {
  static constexpr size_t npos = static_cast<size_t>(-1);
  size_t handle = npos;        // 5 (105 in a DIMSTYLE record)
  size_t owner = npos;         // 330 outside 102 groups, before the first 100 or 8
  size_t space = npos;         // the first 67
  size_t layout = npos;        // the first 410
  size_t layer = npos;         // the first 8 outside 102 groups
  size_t first_marker = npos;  // the first 100
  size_t xdata = 0;            // the first item of the extended data (a 1001), or items.size()
};

struct ParsedRecord {
  std::string_view text;  // what tags views into: the record or a copy of it
  std::vector<dxf::TagView> tags;
  std::vector<RecordItem> items;
  RecordLayout layout;
};

enum class RecordKind { kEntity, kTableRecord };

// Reads rec->tags (filled by the caller) into rec->items and rec->layout.
void ParseRecordItems(ParsedRecord* rec, RecordKind kind);

// The value of one tag (not a point) as an item of the given code.
void ReadScalar(int code, std::string_view text, RecordItem* item);

}  // namespace host::api
