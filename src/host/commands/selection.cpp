#include "host/commands/selection.h"

#include <string>

#include "dxf/tag.h"
#include "dxf/text_case.h"
#include "host/cmdline/command_line.h"
#include "host/commands/current_space.h"
#include "host/commands/layer_states.h"
#include "host/commands/prompt_input.h"
#include "host/session.h"

namespace host::commands {

namespace {

enum SelectMode { kAll, kLast };
constexpr Keyword kSelectModes[] = {{"ALLE", "ALL", kAll}, {"Letztes", "Last", kLast}};

// Adds what is not selected yet; chosen marks the selected entities, so that
// selecting "Alle" twice in a drawing of a million entities stays linear.
void AddUnique(std::vector<EntityId>* selected, std::vector<bool>* chosen,
               const std::vector<EntityId>& found) {
  for (EntityId id : found) {
    if (id >= chosen->size()) chosen->resize(id + 1, false);
    if ((*chosen)[id]) continue;
    (*chosen)[id] = true;
    selected->push_back(id);
  }
}

}  // namespace

std::vector<EntityId> SelectAll(const Drawing& drawing, size_t* locked) {
  ContainerId space = CurrentSpace(drawing);
  EntityId main_viewport =
      space == drawing.model_space() ? kNoEntity : MainViewport(drawing, space);
  LayerStates layers(drawing);
  std::vector<EntityId> result;
  size_t locked_count = 0;
  std::vector<EntityId> mains = MainEntitiesOf(drawing, space);
  std::vector<LayerStates::State> states = layers.EntityStates(mains);
  for (size_t i = 0; i < mains.size(); ++i) {
    EntityId id = mains[i];
    if (id == main_viewport) continue;
    if (states[i].frozen) continue;
    if (states[i].locked) {
      ++locked_count;
      continue;
    }
    result.push_back(id);
  }
  if (locked) *locked = locked_count;
  return result;
}

std::optional<std::vector<EntityId>> SelectObjects(Session& session) {
  CommandLine& cl = session.command_line();
  std::vector<EntityId> selected;
  std::vector<bool> chosen;
  while (true) {
    std::optional<std::string> answer = cl.Ask("Objekte wählen: ");
    if (!answer) return std::nullopt;
    if (dxf::TrimBlanks(*answer).empty()) break;
    std::optional<int> mode = MatchKeyword(*answer, kSelectModes);
    Drawing& drawing = session.drawing();
    std::vector<EntityId> found;
    size_t locked = 0;
    if (mode == kAll) {
      found = SelectAll(drawing, &locked);
    } else if (mode == kLast) {
      ContainerId space = CurrentSpace(drawing);
      EntityId main_viewport =
          space == drawing.model_space() ? kNoEntity : MainViewport(drawing, space);
      LayerStates layers(drawing);
      std::vector<EntityId> all = MainEntitiesOf(drawing, space);
      for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (*it == main_viewport) continue;
        LayerStates::State state = layers.EntityState(*it);
        if (state.frozen) continue;
        if (state.locked) {
          locked = 1;
        } else {
          found.push_back(*it);
        }
        break;
      }
    } else {
      cl.Refuse("*Ungültige Auswahl*");
      cl.Message("Erwartet wird Alle, Letztes oder Enter zum Beenden.");
      continue;
    }
    cl.Message(std::to_string(found.size() + locked) + " gefunden");
    if (locked) cl.Message(std::to_string(locked) + " auf gesperrtem Layer.");
    AddUnique(&selected, &chosen, found);
  }
  return selected;
}

}  // namespace host::commands
