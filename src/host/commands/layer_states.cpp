#include "host/commands/layer_states.h"

#include <vector>

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/commands/tag_edit.h"

namespace host::commands {

namespace {
constexpr int kFrozen = 1;
constexpr int kLocked = 4;
}  // namespace

std::string LayerStates::LayerOf(EntityId id) const { return drawing_.EntityLayer(id); }

int LayerStates::Flags(std::string_view layer) {
  std::string key = dxf::UpperCase1252(layer);
  auto it = flags_.find(key);
  if (it != flags_.end()) return it->second;
  int flags = 0;
  TableRecordId record = drawing_.FindTableRecord("LAYER", layer);
  if (record != kNoRecord) {
    flags = static_cast<int>(TagInteger(CopyTableRecordTags(drawing_, record), 70, 0));
  }
  flags_.emplace(std::move(key), flags);
  return flags;
}

bool LayerStates::Frozen(std::string_view layer) { return Flags(layer) & kFrozen; }
bool LayerStates::Locked(std::string_view layer) { return Flags(layer) & kLocked; }

bool LayerStates::FrozenOrLocked(EntityId id) { return Flags(LayerOf(id)) & (kFrozen | kLocked); }

}  // namespace host::commands
