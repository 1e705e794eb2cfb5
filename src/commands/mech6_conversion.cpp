// DRAVOLIN1: the conversion for the Mechanical add-on. Direct steps (the
// pick, the dialog, the passes, the template choice) act on the drawing at
// once; the scripts queued on the way run after the command has returned, in
// the order queued.
#include "adslib.h"
#include "afxwin.h"
#include "commands/dravolin1_commands.h"
#include "dialogs/strich_st.h"
#include "hostenv/send_command.h"
#include "hostenv/template_path.h"
#include "module/module_state.h"
#include "passes/delete_m_bereich.h"
#include "passes/iterate_blocks.h"
#include "passes/read_dimstyle.h"
#include "passes/read_entity.h"

void quarndravolin1dravolin1() {
  getbemfaktor();
  if (!IsUsableFactor(BemFaktor)) {
    AfxMessageBox("Sie müssen eine Bemaßung wählen!", MB_OK, 0);
    return;
  }
  const CString csDouble = FormatFactor(BemFaktor);
  const CString csScalestr = ScaleScript(csDouble);
  const CString csPScalestr = ScaleSettingScript(BemFaktor);

  ICallMe();
  StartCloseDialogProgram();

  ConvertViewsToModelSpace(csDouble, csScalestr, csPScalestr);

  mtemplatestemplatepath();
  acutPrintf("\nAmsetupdwg ausführen ....");
  SendCommand(csAmSetupDwgCmd);
  SendCommand("Ändern\nAlle\n\nEI\nF\nVonLayer\nLTY\nVonLayer\nLS\nVonLayer\n\n");

  acutPrintf("\nSetze Elemente in Blöcken auf VonLayer ....");
  IterateBlocks();
  acutPrintf("\n...fertig!\n");
}
