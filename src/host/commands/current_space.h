// The current space: model space while $TILEMODE is 1 (or absent), else the
// active layout, the one a real host opens when TILEMODE is switched off.
#pragma once

#include <vector>

#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host::commands {

bool TileModeOn(const Drawing& drawing);
void SetTileMode(Drawing& drawing, bool on);
// Model space, or the active layout when TILEMODE is 0 and there is one.
ContainerId CurrentSpace(const Drawing& drawing);

// The main entities (no VERTEX/ATTRIB/SEQEND) of a model-space or layout
// container, in walk order, erased ones left out.
std::vector<EntityId> MainEntitiesOf(const Drawing& drawing, ContainerId space);
// The subentities that follow a main entity (not erased).
std::vector<EntityId> SubEntitiesOf(const Drawing& drawing, EntityId main);
// The layout's overall viewport: the VIEWPORT with id (69) 1, or the first
// VIEWPORT of the layout when none carries that id; kNoEntity if none.
EntityId MainViewport(const Drawing& drawing, ContainerId layout);

}  // namespace host::commands
