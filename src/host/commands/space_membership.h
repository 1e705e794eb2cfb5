// The groups that say where an entity lives: 67 (1 in paper space, absent in
// model space, where 0 is the default), 410 (the layout name, written by few
// programs) and, for a main entity, the owner 330 (the space's block record).
#pragma once

#include <string>
#include <vector>

#include "dxf/tag.h"
#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host::commands {

// Rewrites those groups for the space; main_entity: the owner too (a
// subentity's owner is its main entity and stays).
void PlaceInSpace(dxf::Tags* tags, const Drawing& drawing, ContainerId space, bool main_entity);
// The same on views of a record's tags; the values set view the drawing's
// own texts (its containers' names and handles), which outlive the edit.
void PlaceInSpace(std::vector<dxf::TagView>* tags, const Drawing& drawing, ContainerId space,
                  bool main_entity);

// Index of the owner group (the first 330 outside a "102 {" group), or kNoTag.
size_t OwnerTag(const dxf::Tags& tags);

// A record prepared to become a new entity: the handle replaced (or left out
// when handle is empty), and the reactor and extension-dictionary groups
// (102 {...}, 360) removed, because they name objects of the original.
dxf::Tags AsNewEntity(const dxf::Tags& tags, const std::string& handle);

}  // namespace host::commands
