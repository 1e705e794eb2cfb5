// acedSSGet ("X": the whole drawing without asking), acedSSLength,
// acedSSName, acedSSFree. A set holds the main entities of every space
// (model space and all layouts; no block contents, no subentities) that
// match the filter. At most kMaxSelectionSets sets may be open at a time.
#include <cstring>

#include "host/api/api_state.h"
#include "host/api/selection_filter.h"
#include "host/api/text_util.h"

using host::api::ApiState;

extern "C" {

int acedSSGet(const char* str, const void* pt1, const void* pt2, const resbuf* filter,
              ads_name ss) {
  ApiState* state = host::api::CurrentState();
  if (state == nullptr || ss == nullptr || str == nullptr) return RTERROR;
  // Only the whole-drawing mode: there is nobody to pick points or windows.
  std::string mode = host::api::ToUpper1252(str);
  if (mode != "X" && mode != "_X") return RTERROR;
  host::api::SelectionFilter conditions;
  if (!conditions.Parse(filter)) return RTERROR;
  int slot = state->FreeSelectionSlot();
  if (slot < 0) return RTERROR;

  const host::Drawing& drawing = state->drawing();
  std::vector<host::EntityId> members;
  for (host::EntityId id = drawing.FirstEntity(); id != host::kNoEntity;
       id = drawing.NextEntity(id)) {
    if (drawing.entity(id).parent != host::kNoEntity) continue;
    if (conditions.Matches(drawing, id)) members.push_back(id);
  }
  if (members.empty()) return RTERROR;

  host::api::SelectionSet& set = state->selection_set(slot);
  set.used = true;
  set.serial = ApiState::NextSetSerial();
  set.members = std::move(members);
  host::api::MakeName(host::api::NameKind::kSelectionSet, slot + 1, set.serial, ss);
  return RTNORM;
}

int acedSSLength(const ads_name ss, long* len) {
  ApiState* state = host::api::CurrentState();
  if (state == nullptr || len == nullptr) return RTERROR;
  host::api::SelectionSet* set = state->SetOfName(ss);
  if (set == nullptr) return RTERROR;
  *len = static_cast<long>(set->members.size());
  return RTNORM;
}

int acedSSName(const ads_name ss, long i, ads_name entres) {
  ApiState* state = host::api::CurrentState();
  if (state == nullptr || entres == nullptr) return RTERROR;
  host::api::SelectionSet* set = state->SetOfName(ss);
  if (set == nullptr || i < 0 || static_cast<size_t>(i) >= set->members.size()) return RTERROR;
  state->EntityName(set->members[static_cast<size_t>(i)], entres);
  return RTNORM;
}

int acedSSFree(const ads_name ss) {
  ApiState* state = host::api::CurrentState();
  if (state == nullptr) return RTERROR;
  host::api::SelectionSet* set = state->SetOfName(ss);
  if (set == nullptr) return RTERROR;
  set->used = false;
  set->members.clear();
  set->members.shrink_to_fit();
  return RTNORM;
}

}  // extern "C"
