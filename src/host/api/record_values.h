// Changing single values of a table record's tags in place.
#pragma once

#include <string>

#include "dxf/tag.h"
#include "host/host_only.h"

namespace host::api {

// Sets the first tag of code (before the extended data) to value, or adds the
// tag: in a DIMSTYLE record where the host writes that code among the others,
// elsewhere after the record's 70 tag. Returns whether the tags changed.
bool SetRecordValue(dxf::Tags* tags, int code, const std::string& value, bool dimstyle);

}  // namespace host::api
