// Object selection as scripts use it: "Objekte wählen: " is asked until an
// empty line. "Alle"/"_all" selects everything of the current space that a
// user could pick (not the layout's overall viewport, nothing on frozen or
// locked layers); "L"/"Letztes"/"_last" the last such entity drawn.
#pragma once

#include <optional>
#include <vector>

#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host {
class Session;
}

namespace host::commands {

// The main entities chosen, in the order chosen, each once; nullopt when input ran
// out before the selection was ended.
std::optional<std::vector<EntityId>> SelectObjects(Session& session);

// What "Alle" selects in the current space; locked counts the entities left
// out because their layer is locked.
std::vector<EntityId> SelectAll(const Drawing& drawing, size_t* locked = nullptr);

}  // namespace host::commands
