#include "host/api/entity_change_hooks.h"

#include <algorithm>

namespace host {

namespace {
std::vector<std::string> g_refused_mods;
std::vector<std::string> g_refused_dels;
uint64_t g_entmod_calls = 0;

bool Listed(const std::vector<std::string>& handles, const Drawing& drawing, EntityId id) {
  if (handles.empty()) return false;
  std::string_view handle = drawing.EntityHandle(id);
  return !handle.empty() && std::find(handles.begin(), handles.end(), handle) != handles.end();
}
}  // namespace

void RefuseEntMod(std::vector<std::string> handles) { g_refused_mods = std::move(handles); }
void RefuseEntDel(std::vector<std::string> handles) { g_refused_dels = std::move(handles); }
uint64_t EntModCalls() { return g_entmod_calls; }

}  // namespace host

namespace host::api {

void CountEntModCall() { ++g_entmod_calls; }

bool EntModRefused(const Drawing& drawing, EntityId id) {
  return Listed(g_refused_mods, drawing, id);
}
bool EntDelRefused(const Drawing& drawing, EntityId id) {
  return Listed(g_refused_dels, drawing, id);
}

}  // namespace host::api
