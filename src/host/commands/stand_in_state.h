// What the stand-in commands keep between commands for the length of a
// session: the clipboard and the add-on settings that a drawing without an
// OBJECTS section cannot hold.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dxf/tag.h"
#include "host/database/drawing.h"
#include "host/geometry/transform.h"
#include "host/host_only.h"

namespace host::commands {

// One main entity on the clipboard. Kept to twelve bytes: a cut of a whole
// drawing keeps an item for each of a million entities to the end. Its
// subentities are held by the clipboard, after those of the items before.
struct ClipboardItem {
  EntityId original = kNoEntity;  // the entity copied or cut
  uint32_t first_subentity = 0;   // in Clipboard::subentities
  uint32_t subentity_count = 0;
};

// The records of a copied item and its subentities as they were copied.
struct ClipboardRecords {
  dxf::Tags tags;
  std::vector<dxf::Tags> subentity_tags;
};

struct Clipboard {
  enum class Mode {
    // _copyclip: the records as they were when copied; every paste makes
    // new entities from them.
    kCopied,
    // _cutclip: the cut entities wait, erased, for the first paste, which
    // moves them back into the drawing with their handles.
    kCutOriginals,
    // After that first paste the clipboard refers to the pasted entities:
    // later pastes copy them as they stand, base being the first paste
    // point. Keeping a second copy of every cut record instead would double
    // the memory of a large conversion, which cuts the whole drawing.
    kPasted,
  };
  Mode mode = Mode::kCopied;
  const Drawing* drawing = nullptr;  // the drawing the entities came from
  std::string drawing_name;
  std::vector<ClipboardItem> items;
  std::vector<EntityId> subentities;     // of the items, item after item
  std::vector<ClipboardRecords> copied;  // kCopied only: one for each item
  geometry::Vec3 base;                   // lower-left corner of the items' extents

  bool empty() const { return items.empty(); }
  std::span<const EntityId> SubentitiesOf(const ClipboardItem& item) const {
    return std::span<const EntityId>(subentities)
        .subspan(item.first_subentity, item.subentity_count);
  }
  // True when the items belong to that drawing (not to one opened before).
  bool BelongsTo(const Drawing& other) const {
    return drawing == &other && drawing_name == other.file_name();
  }
};

// A paste of cut entities whose move waits for the command after it: a
// scale of just those entities takes the move over and does both in one
// pass; anything else has it done first (CommandLine::Defer).
struct PendingPaste {
  const Drawing* drawing = nullptr;
  std::vector<EntityId> placed;  // main entities, in the order they were placed
  geometry::Transform move;
  ContainerId space = kNoContainer;
};

struct StandInState {
  Clipboard clipboard;
  std::optional<PendingPaste> pending_paste;
  // Add-on drawing settings kept in memory for drawings without OBJECTS.
  std::map<std::string, std::string> memory_settings;
};

}  // namespace host::commands
