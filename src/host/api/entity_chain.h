// The chain of an entity as acdbEntGet and acdbEntGetX give it:
//
//   -1 name, 0 type, 330 owner (the space or block definition as a name; the
//   main entity for a VERTEX, ATTRIB or SEQEND), 5 handle, then the record's
//   items in file order with 67 and 410 placed just before the layer (8),
//   then -2 = the main entity for a SEQEND, then -3 and the extended data of
//   the applications asked for.
//
// 67 and 410 are given even where the file leaves them out (model space:
// 67 0, 410 "Model"; a layout: 67 1 and its name); entities of block
// definitions carry only those the file has. Points are one item, angles
// (50-58) radians, strings in code page 1252.
#pragma once

#include <string>
#include <string_view>

#include "host/api/api_state.h"
#include "host/api/record_items.h"
#include "host/api/result_buffers.h"
#include "host/host_only.h"
#include "sdk/adslib.h"

namespace host::api {

// Where an entity lives.
struct EntitySpace {
  bool in_block = false;  // inside a block definition
  short space = 0;        // 67: 0 model space, 1 a layout
  std::string_view layout_name;
};
EntitySpace SpaceOf(const Drawing& drawing, EntityId id);

// Reads an entity's record into rec (reusing its buffers).
void ReadEntityRecord(const Drawing& drawing, EntityId id, ParsedRecord* rec);

// The parsed record of the entity BuildEntityChain read last, while the
// entity's record still holds that text; else null. acdbEntMod mostly
// follows an acdbEntGet of the same entity and so reads the record only once.
// The parse views the file's bytes or a copy of the text, so it stays valid
// whatever happens to the record while the drawing lives.
const ParsedRecord* RecentRecord(const Drawing& drawing, EntityId id);

// The entity's handle: its 5 item, or, in a drawing without handles, one made
// from its id so that every entity can be named by a handle.
std::string EntityHandleText(const Drawing& drawing, EntityId id, const ParsedRecord& rec);

// A file text in code page 1252: the view itself where no conversion is
// needed, else the converted text in *scratch.
std::string_view DecodeText(const Drawing& drawing, std::string_view raw, std::string* scratch);

// Whether an application list (RTSTR items with names or patterns) asks for
// the application app.
bool AppRequested(const resbuf* apps, std::string_view app);

// Whether the record's item i (before the extended data) stays out of the
// entity's chain: the handle, owner and space items the chain shows in its
// own way, comments (999), and negative codes, which belong to the chain's
// own markers (-1 name, -3 extended data) and are no file data; entmod
// writes all of these back as they stood.
inline bool LeftOutOfChain(const ParsedRecord& rec, size_t i) { return rec.items[i].left_out; }

// Appends one record item to a chain, as its kind says.
void AddRecordItem(ApiState& state, const RecordItem& item, ChainBuilder* chain);

// The chain of acdbEntGet (apps null) or acdbEntGetX; null when memory runs out.
resbuf* BuildEntityChain(ApiState& state, EntityId id, const resbuf* apps);

}  // namespace host::api
