// Which layers are frozen or locked, looked up once per layer name for the
// length of one command.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host::commands {

class LayerStates {
 public:
  explicit LayerStates(const Drawing& drawing) : drawing_(drawing) {}
  // The layer an entity is on (group 8, code page 1252; "0" when absent).
  std::string LayerOf(EntityId id) const;
  bool Frozen(std::string_view layer);
  bool Locked(std::string_view layer);
  bool FrozenOrLocked(EntityId id);

 private:
  int Flags(std::string_view layer);  // group 70 of the LAYER record, 0 if none
  const Drawing& drawing_;
  std::unordered_map<std::string, int> flags_;  // upper-case name → 70
};

}  // namespace host::commands
