// Table records as the chains acdbTblNext and acdbTblSearch give: 0 type,
// 2 name, 70 flags, then the record's other values in file order (handles,
// owner, subclass markers, reactor groups and extended data left out).
// BLOCK records come from the block definitions: 0 "BLOCK", 2 name, 70
// flags, 10 base point and -2 = the first entity of the definition, which is
// left out when the definition holds nothing but its ENDBLK.
#pragma once

#include "host/api/api_state.h"
#include "host/host_only.h"
#include "sdk/adslib.h"

namespace host::api {

resbuf* BuildTableRecordChain(ApiState& state, TableRecordId id);
// with_name: starts with -1 = the container's name (acdbEntGet of an owner).
resbuf* BuildBlockChain(ApiState& state, ContainerId id, bool with_name);

}  // namespace host::api
