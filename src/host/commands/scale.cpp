// SCALE: every selected entity is scaled about the base point,
// p' = base + factor * (p - base). Dimensions are scaled with their blocks,
// INSERTs with their ATTRIBs, POLYLINEs with their VERTEXes.
#include <algorithm>
#include <set>

#include "host/cmdline/command_line.h"
#include "host/commands/entity_geometry.h"
#include "host/commands/prompt_input.h"
#include "host/commands/selection.h"
#include "host/commands/space_membership.h"
#include "host/commands/stand_in_commands.h"
#include "host/commands/stand_in_state.h"
#include "host/commands/tag_edit.h"
#include "host/dimension_regen.h"
#include "host/session.h"

namespace host::commands {

namespace {

bool Positive(double value) { return value > 0; }

constexpr char kPositiveRequired[] = "Wert muss positiv und ungleich Null sein.";

enum ScaleOption { kReference };
constexpr Keyword kScaleOptions[] = {{"Bezug", "Reference", kReference}};

std::optional<double> AskFactor(CommandLine& cl) {
  while (true) {
    std::optional<std::string> answer = cl.Ask("Skalierungsfaktor angeben oder [Bezug]: ");
    if (!answer) return std::nullopt;
    if (MatchKeyword(*answer, kScaleOptions) == kReference) {
      std::optional<double> reference =
          AskReal(cl, "Bezugslänge angeben <1.0000>: ", 1.0, Positive, kPositiveRequired);
      if (!reference) return std::nullopt;
      std::optional<double> length =
          AskReal(cl, "Neue Länge angeben: ", std::nullopt, Positive, kPositiveRequired);
      if (!length) return std::nullopt;
      return *length / *reference;
    }
    std::optional<double> factor = ParseReal(*answer);
    if (!factor) {
      cl.Refuse("Erfordert numerischen Wert oder Option-Schlüsselwort.");
    } else if (!Positive(*factor)) {
      cl.Refuse(kPositiveRequired);
    } else {
      return factor;
    }
  }
}

// True when the selection holds just the entities a pending paste placed.
bool TakesOverPaste(const StandInState& state, const Drawing& drawing,
                    const std::vector<EntityId>& selection) {
  if (!state.pending_paste || state.pending_paste->drawing != &drawing) return false;
  std::vector<EntityId> placed = state.pending_paste->placed;
  std::vector<EntityId> chosen = selection;
  std::sort(placed.begin(), placed.end());
  std::sort(chosen.begin(), chosen.end());
  return placed == chosen;
}

// The scale itself; a paste it does not take over has its move done before
// the first change, or is left pending for the caller.
void ScaleSelection(Session& session, StandInState& state) {
  CommandLine& cl = session.command_line();
  // Choosing "all" or "last" does not depend on where the entities lie, so
  // the selection may be made before the paste's move.
  std::optional<std::vector<EntityId>> selection = SelectObjects(session);
  if (!selection || selection->empty()) return;
  std::optional<geometry::Vec3> base = AskPoint(cl, "Basispunkt angeben: ");
  if (!base) return;
  std::optional<double> factor = AskFactor(cl);
  if (!factor) return;

  geometry::Transform transform;
  transform.factor = *factor;
  transform.base = *base;
  std::set<std::string> points_only;
  Drawing& drawing = session.drawing();
  if (TakesOverPaste(state, drawing, *selection)) {
    PendingPaste paste = std::move(*state.pending_paste);
    state.pending_paste.reset();
    const geometry::Transform both[] = {paste.move, transform};
    TransformEntities(drawing, *selection, both, &points_only,
                      [&](bool main_entity, std::vector<dxf::TagView>* tags) {
                        PlaceInSpace(tags, drawing, paste.space, main_entity);
                      });
  } else {
    cl.RunDeferred();
    TransformEntities(drawing, *selection, transform, &points_only);
  }
  MarkForRegeneration(drawing, *selection);
  for (const std::string& type : points_only) {
    cl.Message("Nur die Punkte von " + type + " wurden skaliert.");
  }
}

}  // namespace

void Scale(Session& session, StandInState& state) {
  // A paste just before is taken over only by a scale of exactly what it
  // placed; otherwise (and when the scale is cancelled) its move is done
  // before this command ends. Not from a destructor: the move may run out
  // of memory, and that must reach the caller as an error, not end the
  // program. When the scale itself fails, the move stays pending.
  ScaleSelection(session, state);
  session.command_line().RunDeferred();
}

}  // namespace host::commands
