// Comparing a chain item the module hands back with the record item it came
// from, and writing a changed item as tags.
#pragma once

#include <string>

#include "dxf/tag.h"
#include "host/api/api_state.h"
#include "host/api/record_items.h"
#include "host/host_only.h"
#include "sdk/adslib.h"

namespace host::api {

// Whether the chain item holds exactly the value the record item gives (same
// code assumed). Reals compare bit for bit, so a value read and handed back
// untouched is always the same, and any computed change is seen.
bool SameValue(ApiState& state, const resbuf* in, const RecordItem& old);

// The handle text an entity name or object reference stands for ("0" when it
// names nothing the drawing has).
std::string HandleTextOfName(ApiState& state, const long name[2]);

// Appends the tags of a changed item: canonical numbers, angles in degrees,
// strings in the file's encoding. A point is written without z when flat.
// old (may be null) gives the original texts of coordinates that did not
// change.
void AppendItemTags(ApiState& state, const resbuf* in, bool flat, const RecordItem* old,
                    const std::vector<dxf::TagView>& old_tags, dxf::Tags* out);

// A string item's text (empty for a null string).
inline const char* ItemText(const resbuf* in) {
  return in->resval.rstring != nullptr ? in->resval.rstring : "";
}

}  // namespace host::api
