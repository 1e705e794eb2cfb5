// acdbEntNext, acdbEntGet, acdbEntGetX and acdbEntDel.
#include "host/api/api_state.h"
#include "host/api/entity_chain.h"
#include "host/api/entity_change_hooks.h"
#include "host/api/table_chain.h"
#include "host/api/text_util.h"
#include "host/dimension_regen.h"

namespace host::api {

namespace {

bool InBlockDefinition(const Drawing& drawing, EntityId id) {
  ContainerId container = drawing.entity(id).container;
  return container != kNoContainer && drawing.container(container).kind == ContainerKind::kBlock;
}

}  // namespace

}  // namespace host::api

using host::api::ApiState;
using host::api::CurrentState;

extern "C" {

int acdbEntNext(const ads_name ent, ads_name result) {
  ApiState* state = CurrentState();
  if (state == nullptr || result == nullptr) return RTERROR;
  const host::Drawing& drawing = state->drawing();
  host::EntityId next;
  if (host::api::IsNullName(ent)) {
    next = drawing.FirstEntity();
  } else {
    host::EntityId id = state->EntityOfName(ent);
    if (id == host::kNoEntity) return RTERROR;
    next = drawing.NextEntity(id);  // within a block definition: the next of that block
  }
  if (next == host::kNoEntity) return RTERROR;
  state->EntityName(next, result);
  return RTNORM;
}

resbuf* acdbEntGet(const ads_name ent) { return acdbEntGetX(ent, nullptr); }

resbuf* acdbEntGetX(const ads_name ent, const resbuf* apps) {
  ApiState* state = CurrentState();
  if (state == nullptr) return nullptr;
  if (host::api::IsNullName(ent)) return nullptr;
  host::EntityId id = state->EntityOfName(ent);
  if (id == host::kNoEntity) {
    // The owner named in an entity's 330 item: its block header.
    host::ContainerId container = state->ContainerOfName(ent);
    if (container == host::kNoContainer) return nullptr;
    return host::api::BuildBlockChain(*state, container, true);
  }
  if (state->drawing().entity(id).erased) return nullptr;
  // A block's entities show the dimensions changed so far.
  if (host::api::InBlockDefinition(state->drawing(), id)) host::RegenerateWaiting(state->drawing());
  return host::api::BuildEntityChain(*state, id, apps);
}

// Erases a main entity of a space, or un-erases it when it is erased already,
// as the host's entdel does. Subentities and the contents of block
// definitions cannot be erased on their own.
int acdbEntDel(const ads_name ent) {
  ApiState* state = CurrentState();
  if (state == nullptr) return RTERROR;
  host::EntityId id = state->EntityOfName(ent);
  if (id == host::kNoEntity) return RTERROR;
  host::Drawing& drawing = state->drawing();
  const host::Entity& entity = drawing.entity(id);
  if (entity.parent != host::kNoEntity || host::api::InBlockDefinition(drawing, id)) {
    return RTERROR;
  }
  if (host::api::EntDelRefused(drawing, id)) return RTERROR;
  drawing.EraseEntity(id, !entity.erased);
  return RTNORM;
}

}  // extern "C"
