// Which layers are frozen or locked, looked up once per layer name for the
// length of one command.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host::commands {

class LayerStates {
 public:
  explicit LayerStates(const Drawing& drawing) : drawing_(drawing) {}
  // Whether the layer an entity is on (group 8; "0" when absent) is frozen
  // or locked. Commands ask this of every entity of a space: a layer is
  // looked up by its name as the records spell it, and decoded only the
  // first time.
  struct State {
    bool frozen = false;
    bool locked = false;
  };
  State EntityState(EntityId id);
  // The states of many entities, in their order. The layer names of a long
  // list are read in two halves at once.
  std::vector<State> EntityStates(const std::vector<EntityId>& ids);

 private:
  int Flags(std::string_view layer);  // group 70 of the LAYER record, 0 if none
  int EntityFlags(EntityId id);
  // The flags of the layer an entity names as written (nullopt: none, "0").
  int FlagsOfSpelling(std::optional<std::string_view> written);
  static State StateOf(int flags);
  const Drawing& drawing_;
  std::unordered_map<std::string, int> flags_;              // upper-case name → 70
  std::unordered_map<std::string, int> flags_by_spelling_;  // name as written → 70
  std::string last_spelling_;  // the name the last entity asked about was written as
  int last_flags_ = -1;        // and its flags; -1 before the first
};

}  // namespace host::commands
