// Hooks for tests of entity changes. RefuseEntMod and RefuseEntDel make
// acdbEntMod or acdbEntDel refuse the entities with the given handles
// (RTERROR, the entity left as it was) until called again; an empty list
// ends the refusal. Tests reach the module's reports of a refused change
// this way, which the host otherwise never gives for a sound chain.
// EntModCalls counts every call of acdbEntMod, refused ones included.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host {

void RefuseEntMod(std::vector<std::string> handles);
void RefuseEntDel(std::vector<std::string> handles);
uint64_t EntModCalls();

}  // namespace host

namespace host::api {

// Counts a call of acdbEntMod.
void CountEntModCall();
// Whether a change of that entity is to be refused (quick while nothing is).
bool EntModRefused(const Drawing& drawing, EntityId id);
bool EntDelRefused(const Drawing& drawing, EntityId id);

}  // namespace host::api
