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
  for (EntityId main : *selection) {
    ClipboardItem item;
    item.original = main;
    item.subentities = SubEntitiesOf(drawing, main);
    if (!cut) {
      item.copied = std::make_unique<ClipboardItem::Records>();
      item.copied->tags = CopyEntityTags(drawing, main);
      for (EntityId sub : item.subentities) {
        item.copied->subentity_tags.push_back(CopyEntityTags(drawing, sub));
      }
    }
    clipboard.items.push_back(std::move(item));
  }
  if (cut) {
    for (const ClipboardItem& item : clipboard.items) {
      for (EntityId sub : item.subentities) drawing.EraseEntity(sub);
      drawing.EraseEntity(item.original);
    }
  }
  state.clipboard = std::move(clipboard);
}

}  // namespace host::commands
