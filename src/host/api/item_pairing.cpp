#include "host/api/item_pairing.h"

#include "host/api/item_values.h"

namespace host::api {

namespace {
// How far ahead an item's code is looked for. Chains handed back are the
// host's own with values changed, so codes follow each other; the limit only
// keeps odd chains from costing quadratic time.
constexpr size_t kLookAhead = 64;
}  // namespace

bool PairItems(ApiState& state, const std::vector<const resbuf*>& in, const ParsedRecord& rec,
               const std::vector<uint32_t>& old_items, std::vector<PairedItem>* out) {
  out->clear();
  bool differs = false;
  size_t next = 0;  // the first record item not yet paired or passed over
  for (const resbuf* item : in) {
    PairedItem paired;
    paired.in = item;
    size_t limit = std::min(old_items.size(), next + kLookAhead);
    for (size_t k = next; k < limit; ++k) {
      if (rec.items[old_items[k]].code == item->restype) {
        if (k != next) differs = true;  // record items left out
        paired.old = static_cast<int32_t>(old_items[k]);
        next = k + 1;
        break;
      }
    }
    if (paired.old >= 0) {
      paired.same = SameValue(state, item, rec.items[paired.old]);
    }
    if (!paired.same) differs = true;
    out->push_back(paired);
  }
  if (next < old_items.size()) differs = true;
  return differs;
}

}  // namespace host::api
