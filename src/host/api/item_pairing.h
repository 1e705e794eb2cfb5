// Pairs the items of a chain handed back to acdbEntMod with the items of the
// record it was read from, so that items whose value did not change are
// written back with their original text.
//
// Items are matched in order by group code; an item whose code does not
// follow is looked for a short way ahead (the record items skipped are the
// ones the chain left out), else it is a new item.
#pragma once

#include <cstdint>
#include <vector>

#include "host/api/api_state.h"
#include "host/api/record_items.h"
#include "host/host_only.h"
#include "sdk/adslib.h"

namespace host::api {

struct PairedItem {
  const resbuf* in = nullptr;
  int32_t old = -1;   // index into the record's items; -1 for a new item
  bool same = false;  // paired and of the same value
};

// Pairs in (chain items) with the record items listed in old_items (indices
// into rec.items, in order). Returns whether anything differs: a new or
// changed item, or a record item the chain left out.
bool PairItems(ApiState& state, const std::vector<const resbuf*>& in, const ParsedRecord& rec,
               const std::vector<uint32_t>& old_items, std::vector<PairedItem>* out);

}  // namespace host::api
