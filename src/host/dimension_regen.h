// Regeneration of the anonymous blocks that draw dimensions. A DIMENSION is
// drawn from its block (group 2), a second copy of its data; whenever the
// host changes a dimension where a CAD host would regenerate it (entmod,
// the transforms of SCALE and paste, DIMOVERRIDE, CHANGE), the block is
// brought up to date from the dimension's data, its effective dimension
// variables (the style's record with the DSTYLE overrides of its "ACAD"
// extended data) and the tables:
//
// - the text entity (the block's first TEXT or MTEXT) shows the override
//   (group 1) with "<>" replaced by the value, measurement × DIMLFAC; ""
//   and "<>" show the value alone, a single blank shows nothing, an
//   override without "<>" shows itself. While the value is the one the
//   modeller drew, the value is written as the modeller wrote it (found by
//   matching the block text as loaded against the override as loaded);
//   otherwise it is formatted from DIMRND, DIMDEC, DIMZIN, DIMDSEP and
//   DIMPOST (angles: DIMAUNIT, DIMADEC, DIMAZIN);
// - the text takes the style DIMTXSTY and the colour DIMCLRT; extension
//   lines take DIMCLRE, everything else but the definition points DIMCLRD.
//
// Geometry is kept: the transforms move and scale the block with its
// dimension. Only what differs is rewritten, so a dimension already up to
// date stays byte for byte as it is.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host {

struct RegenerationCount {
  size_t regenerated = 0;  // dimensions whose block was brought up to date
  size_t left_as_is = 0;   // dimensions without a block, or whose block has no text
};

// Regenerates the blocks of the dimensions among these entities; other
// entities are passed over (at the cost of a look at their type).
RegenerationCount RegenerateDimensions(Drawing& drawing, std::span<const EntityId> entities);
RegenerationCount RegenerateDimension(Drawing& drawing, EntityId id);

// Regeneration that waits until something reads the blocks. A change to a
// dimension marks it; the host regenerates what is marked before anything
// looks at a block definition: an entity of a block read through the entity
// functions, a command other than those that read no blocks, the end of
// the input. What is read is then what an immediate regeneration gives,
// with the tables as they are when it is read (as a host that regenerates
// dimensions when their style changes). A dimension changed several times
// meanwhile is regenerated once, in the place of its last change.
void MarkForRegeneration(Drawing& drawing, std::span<const EntityId> entities);
void MarkForRegeneration(Drawing& drawing, EntityId id);
bool RegenerationWaiting(const Drawing& drawing);
RegenerationCount RegenerateWaiting(Drawing& drawing);

// What a dimension's block shows and what a regeneration would make it show.
struct DrawnDimension {
  bool has_text = false;             // the dimension has a block holding a text entity
  std::string text;                  // that text (file encoding; MTEXT chunks joined)
  std::optional<std::string> value;  // the part of text the override's "<>" stands for
  std::string regenerated;           // the text a regeneration gives now
};
DrawnDimension InspectDimension(const Drawing& drawing, EntityId id);

// The same for many dimensions: the tables are looked up once. One
// inspector a thread; the drawing must not change while it is used.
class DimensionInspector {
 public:
  explicit DimensionInspector(const Drawing& drawing);
  ~DimensionInspector();
  DimensionInspector(const DimensionInspector&) = delete;
  DimensionInspector& operator=(const DimensionInspector&) = delete;

  DrawnDimension Inspect(EntityId id);

 private:
  struct State;
  const Drawing& drawing_;
  std::unique_ptr<State> state_;
};

// The part of a drawn text that an override's "<>" stands for: the whole
// text for "" and "<>"; nullopt for a blank, an override without "<>", or a
// text that does not fit the override.
std::optional<std::string> DrawnValue(std::string_view override_text, std::string_view drawn);

}  // namespace host
