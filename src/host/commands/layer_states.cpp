#include "host/commands/layer_states.h"

#include <optional>
#include <vector>

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/commands/tag_edit.h"
#include "host/database/record_scan.h"
#include "host/two_halves.h"

namespace host::commands {

namespace {
constexpr int kFrozen = 1;
constexpr int kLocked = 4;
}  // namespace

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

LayerStates::State LayerStates::StateOf(int flags) {
  return State{(flags & kFrozen) != 0, (flags & kLocked) != 0};
}

LayerStates::State LayerStates::EntityState(EntityId id) { return StateOf(EntityFlags(id)); }

namespace {

// Whether some layer is frozen or locked. When none is, every entity's
// state is known without reading its record (an unknown layer has none).
bool AnyLayerFrozenOrLocked(const Drawing& drawing) {
  const Table* layers = drawing.FindTable("LAYER");
  if (layers == nullptr) return false;
  for (TableRecordId record : layers->records) {
    if (TagInteger(CopyTableRecordTags(drawing, record), 70, 0) & (kFrozen | kLocked)) return true;
  }
  return false;
}

}  // namespace

std::vector<LayerStates::State> LayerStates::EntityStates(const std::vector<EntityId>& ids) {
  if (!AnyLayerFrozenOrLocked(drawing_)) return std::vector<State>(ids.size());
  // Reading each record's layer is the dear part and only reads the drawing;
  // the lookups that follow go through this object's caches, in order.
  std::vector<std::optional<std::string_view>> written(ids.size());
  auto read = [&](size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i)
      written[i] = FindCommonValue(drawing_.entity(ids[i]).text.text(), 8);
  };
  RunInTwoHalvesIfLong(ids.size(), read);
  std::vector<State> states;
  states.reserve(ids.size());
  for (const std::optional<std::string_view>& layer : written)
    states.push_back(StateOf(FlagsOfSpelling(layer)));
  return states;
}

int LayerStates::EntityFlags(EntityId id) {
  return FlagsOfSpelling(FindCommonValue(drawing_.entity(id).text.text(), 8));
}

int LayerStates::FlagsOfSpelling(std::optional<std::string_view> written) {
  std::string_view spelling = written ? dxf::TrimBlanks(*written) : std::string_view("0");
  // Neighbouring entities mostly share their layer.
  if (last_flags_ >= 0 && spelling == last_spelling_) return last_flags_;
  auto it = flags_by_spelling_.find(std::string(spelling));
  int flags = it != flags_by_spelling_.end()
                  ? it->second
                  : Flags(written ? drawing_.encoding().Decode(spelling) : std::string("0"));
  if (it == flags_by_spelling_.end()) flags_by_spelling_.emplace(spelling, flags);
  last_spelling_.assign(spelling);
  last_flags_ = flags;
  return flags;
}

}  // namespace host::commands
