// _cutclip and _copyclip: the selection goes to the clipboard with the
// lower-left corner of its extents as base point, as a real host does.
#include "host/cmdline/command_line.h"
#include "host/commands/current_space.h"
#include "host/commands/entity_geometry.h"
#include "host/commands/selection.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/tag_edit.h"
#include "host/session.h"

namespace host::commands {

void ClipboardCopy(Session& session, StandInState& state, bool cut) {
  std::optional<std::vector<EntityId>> selection = SelectObjects(session);
  // Nothing chosen: the clipboard keeps what it holds.
  if (!selection || selection->empty()) return;
  Drawing& drawing = session.drawing();

  Clipboard clipboard;
  clipboard.mode = cut ? Clipboard::Mode::kCutOriginals : Clipboard::Mode::kCopied;
  clipboard.drawing = &drawing;
  clipboard.drawing_name = drawing.file_name();
  geometry::Extents extents = ExtentsOf(drawing, *selection);
  // Pasting moves in the plane only: the base point lies at z = 0.
  if (!extents.empty()) clipboard.base = {extents.min.x, extents.min.y, 0};

  clipboard.items.reserve(selection->size());
  if (!cut) clipboard.copied.reserve(selection->size());
  for (EntityId main : *selection) {
    std::vector<EntityId> subs = SubEntitiesOf(drawing, main);
    ClipboardItem item;
    item.original = main;
    item.first_subentity = static_cast<uint32_t>(clipboard.subentities.size());
    item.subentity_count = static_cast<uint32_t>(subs.size());
    clipboard.subentities.insert(clipboard.subentities.end(), subs.begin(), subs.end());
    if (!cut) {
      ClipboardRecords& records = clipboard.copied.emplace_back();
      records.tags = CopyEntityTags(drawing, main);
      for (EntityId sub : subs) records.subentity_tags.push_back(CopyEntityTags(drawing, sub));
    }
    clipboard.items.push_back(item);
  }
  if (cut) {
    for (const ClipboardItem& item : clipboard.items) {
      for (EntityId sub : clipboard.SubentitiesOf(item)) drawing.EraseEntity(sub);
      drawing.EraseEntity(item.original);
    }
  }
  state.clipboard = std::move(clipboard);
}

}  // namespace host::commands
