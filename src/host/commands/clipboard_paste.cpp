// _pasteclip: the clipboard's entities come into the current space with the
// base point at the point given, unscaled. Cut entities come back with their
// handles; copies get new ones. A paper-space VIEWPORT cannot live in model
// space, so it is left out there, and the host says so.
#include <set>

#include "host/cmdline/command_line.h"
#include "host/commands/current_space.h"
#include "host/commands/entity_geometry.h"
#include "host/commands/prompt_input.h"
#include "host/commands/space_membership.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/tag_edit.h"
#include "host/dimension_regen.h"
#include "host/session.h"

namespace host::commands {

namespace {

// Moves the cut entities back into the drawing, into the space.
std::vector<EntityId> RestoreOriginals(Drawing& drawing, Clipboard& clipboard, ContainerId space,
                                       size_t* dropped_viewports) {
  bool to_model = space == drawing.model_space();
  std::vector<EntityId> placed;
  placed.reserve(clipboard.items.size());
  // The moved entities come last in the walk.
  drawing.ReserveWalk(clipboard.items.size() + clipboard.subentities.size());
  // The items that come back are kept in place, in their order.
  size_t kept = 0;
  for (const ClipboardItem& item : clipboard.items) {
    if (to_model && drawing.EntityType(item.original) == "VIEWPORT") {
      ++*dropped_viewports;  // stays erased
      continue;
    }
    drawing.EraseEntity(item.original, false);
    for (EntityId sub : clipboard.SubentitiesOf(item)) drawing.EraseEntity(sub, false);
    if (drawing.entity(item.original).container != space) {
      drawing.MoveToContainer(item.original, space);
    }
    placed.push_back(item.original);
    clipboard.items[kept++] = item;
  }
  clipboard.items.resize(kept);
  return placed;
}

// Adds copies of the clipboard's entities to the space, moved.
void AddCopies(Drawing& drawing, const Clipboard& clipboard, ContainerId space,
               const geometry::Transform& move, size_t* dropped_viewports,
               std::set<std::string>* points_only) {
  bool to_model = space == drawing.model_space();
  for (size_t i = 0; i < clipboard.items.size(); ++i) {
    const ClipboardItem& item = clipboard.items[i];
    dxf::Tags main_tags;
    std::vector<dxf::Tags> sub_tags;
    if (clipboard.mode == Clipboard::Mode::kCopied) {
      main_tags = clipboard.copied[i].tags;
      sub_tags = clipboard.copied[i].subentity_tags;
    } else {
      if (drawing.entity(item.original).erased) continue;  // erased since it was pasted
      main_tags = CopyEntityTags(drawing, item.original);
      for (EntityId sub : clipboard.SubentitiesOf(item))
        sub_tags.push_back(CopyEntityTags(drawing, sub));
    }
    if (main_tags.empty()) continue;
    if (to_model && main_tags.front().value == "VIEWPORT") {
      ++*dropped_viewports;
      continue;
    }
    TransformTags(&main_tags, &sub_tags, move, points_only);
    std::string handle = drawing.NewHandle();
    dxf::Tags copy = AsNewEntity(main_tags, handle);
    PlaceInSpace(&copy, drawing, space, true);
    drawing.AddEntity(space, copy);
    for (const dxf::Tags& sub : sub_tags) {
      dxf::Tags sub_copy = AsNewEntity(sub, drawing.NewHandle());
      if (size_t owner = OwnerTag(sub_copy); owner != kNoTag && !handle.empty()) {
        sub_copy[owner].value = handle;
      }
      PlaceInSpace(&sub_copy, drawing, space, false);
      drawing.AddEntity(space, sub_copy);
    }
  }
}

}  // namespace

void FinishPendingPaste(Session& session, StandInState& state) {
  if (!state.pending_paste) return;
  PendingPaste paste = std::move(*state.pending_paste);
  state.pending_paste.reset();
  Drawing& drawing = session.drawing();
  if (paste.drawing != &drawing) return;  // a drawing since closed
  std::set<std::string> reported_already;
  TransformEntities(drawing, paste.placed, paste.move, &reported_already,
                    [&](bool main_entity, std::vector<dxf::TagView>* tags) {
                      PlaceInSpace(tags, drawing, paste.space, main_entity);
                    });
  MarkForRegeneration(drawing, paste.placed);
}

void ClipboardPaste(Session& session, StandInState& state) {
  CommandLine& cl = session.command_line();
  Drawing& drawing = session.drawing();
  Clipboard& clipboard = state.clipboard;
  if (clipboard.empty() || !clipboard.BelongsTo(drawing)) {
    cl.Fail("Die Zwischenablage enthält keine Objekte dieser Zeichnung.");
    return;
  }
  std::optional<geometry::Vec3> point = AskPoint(cl, "Einfügepunkt angeben: ");
  if (!point) return;

  ContainerId space = CurrentSpace(drawing);
  geometry::Transform move;
  move.offset = {point->x - clipboard.base.x, point->y - clipboard.base.y,
                 point->z - clipboard.base.z};
  size_t dropped_viewports = 0;
  std::set<std::string> points_only;
  if (clipboard.mode == Clipboard::Mode::kCutOriginals) {
    std::vector<EntityId> placed = RestoreOriginals(drawing, clipboard, space, &dropped_viewports);
    // The move, with the space's marks set in the same pass, waits for the
    // next command: a conversion scales what it pasted right away, and one
    // pass through the drawing can do both. What the move will report is
    // known now.
    CollectPointsOnly(drawing, placed, move, &points_only);
    state.pending_paste = PendingPaste{&drawing, std::move(placed), move, space};
    cl.Defer([&session, &state] { FinishPendingPaste(session, state); });
    clipboard.mode = Clipboard::Mode::kPasted;
    clipboard.base = *point;
  } else {
    // A copied dimension still shows its original's block; the picture is
    // not moved with it, since the original uses the same block.
    AddCopies(drawing, clipboard, space, move, &dropped_viewports, &points_only);
  }
  for (const std::string& type : points_only) {
    cl.Message("Nur die Punkte von " + type + " wurden verschoben.");
  }
  if (dropped_viewports) {
    cl.Message(std::to_string(dropped_viewports) +
               " Ansichtsfenster nicht eingefügt: im Modellbereich gibt es keine "
               "Ansichtsfenster.");
  }
}

}  // namespace host::commands
