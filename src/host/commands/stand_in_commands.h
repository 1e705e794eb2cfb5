// The stand-in commands, one file each; stand_ins.cpp registers them under
// their English and German names.
#pragma once

#include <vector>

#include "host/cmdline/expression.h"
#include "host/commands/stand_in_state.h"
#include "host/host_only.h"

namespace host {
class Session;
}

namespace host::commands {

// _cutclip / _copyclip: selection to the clipboard; cut erases the originals.
void ClipboardCopy(Session& session, StandInState& state, bool cut);
// _pasteclip: the clipboard's entities into the current space at a point.
void ClipboardPaste(Session& session, StandInState& state);
// TILEMODE: asks for the new value and switches the current space.
void TileMode(Session& session);
// SCALE: selection, base point, factor.
void Scale(Session& session, StandInState& state);
// Does the move of a pending paste (nothing when none is pending).
void FinishPendingPaste(Session& session, StandInState& state);
// ZOOM: Grenzen (extents) and Alles (limits and extents).
void Zoom(Session& session);
// (amgsetdwgsetting "name" "value") and (amggetdwgsetting "name").
ExprValue SetDrawingSetting(Session& session, StandInState& state,
                            const std::vector<ExprValue>& args);
ExprValue GetDrawingSetting(Session& session, StandInState& state,
                            const std::vector<ExprValue>& args);
// amlayreset: the AM_ layers get the add-on's standard properties.
void AmLayReset(Session& session);
// amsetupdwg: template path, confirmation; copies what the drawing lacks.
void AmSetupDwg(Session& session);
// DIMOVERRIDE: variables and values, then the dimensions to override.
void DimOverride(Session& session);
// CHANGE: selection, then properties set (ByLayer and the like).
void Change(Session& session);
// -STYLE: a text style's font and settings; the style becomes current.
void Style(Session& session);
// The interactive shell's file commands.
void QuickSave(Session& session);
void SaveAs(Session& session);
void Quit(Session& session);
void Open(Session& session);

}  // namespace host::commands
