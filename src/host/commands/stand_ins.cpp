#include "host/commands/stand_ins.h"

#include <memory>

#include "host/cmdline/command_line.h"
#include "host/commands/stand_in_commands.h"

namespace host {

void RegisterStandIns(CommandLine& cl) {
  using namespace commands;
  auto state = std::make_shared<StandInState>();

  cl.RegisterStandIn("CUTCLIP", [state](Session& s) { ClipboardCopy(s, *state, true); });
  cl.RegisterStandIn("COPYCLIP", [state](Session& s) { ClipboardCopy(s, *state, false); });
  cl.RegisterStandIn("PASTECLIP", [state](Session& s) { ClipboardPaste(s, *state); });
  cl.RegisterStandIn("TILEMODE", TileMode);
  cl.RegisterStandIn(
      "SCALE", "VARIA", [state](Session& s) { Scale(s, *state); },
      CommandLine::Deferred::kTakeOver);
  cl.RegisterStandIn("ZOOM", Zoom);
  cl.RegisterStandIn("CHANGE", "ÄNDERN", Change);
  cl.RegisterStandIn("DIMOVERRIDE", "BEMÜBERSCHR", DimOverride);
  cl.RegisterStandIn("-STYLE", "-STIL", Style);
  cl.RegisterStandIn("AMLAYRESET", AmLayReset);
  cl.RegisterStandIn("AMSETUPDWG", AmSetupDwg);
  cl.RegisterStandIn("QSAVE", "KSICH", QuickSave);
  cl.RegisterStandIn("SAVEAS", "SICHALS", SaveAs);
  cl.RegisterStandIn("QUIT", "BEENDEN", Quit);
  cl.RegisterStandIn("OPEN", "ÖFFNEN", Open);
  for (const char* name :
       {"ZOOM", "QSAVE", "KSICH", "SAVEAS", "SICHALS", "QUIT", "BEENDEN", "OPEN", "ÖFFNEN"})
    cl.KeepsDrawing(name);
  // They change tables, settings or the records of what they select.
  for (const char* name : {"CHANGE", "ÄNDERN", "DIMOVERRIDE", "BEMÜBERSCHR", "-STYLE", "-STIL",
                           "AMLAYRESET", "AMSETUPDWG", "TILEMODE"})
    cl.ReadsNoBlocks(name);

  cl.RegisterFunction("amgsetdwgsetting", [state](Session& s, const std::vector<ExprValue>& args) {
    return SetDrawingSetting(s, *state, args);
  });
  cl.RegisterFunction("amggetdwgsetting", [state](Session& s, const std::vector<ExprValue>& args) {
    return GetDrawingSetting(s, *state, args);
  });
}

}  // namespace host
