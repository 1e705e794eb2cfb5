// DRAVOLINGEN: the conversion for Genius 14. The road of DRAVOLIN1 with the
// choice of the Genius layer map, the dimension text-style and text-font
// scripts, and at the end the module's own Genius commands, queued to run
// after everything else.
#include "adslib.h"
#include "afxwin.h"
#include "commands/dravolin1_commands.h"
#include "dialogs/gen_lay.h"
#include "dialogs/strich_st.h"
#include "genius/layer_array.h"
#include "hostenv/send_command.h"
#include "hostenv/template_path.h"
#include "module/module_state.h"
#include "passes/delete_m_bereich.h"
#include "passes/iterate_blocks.h"
#include "passes/read_dimstyle.h"
#include "passes/read_entity.h"

void quarndravolin1dravolingen() {
  getbemfaktor();
  if (!IsUsableFactor(BemFaktor)) {
    AfxMessageBox("Sie müssen eine Bemaßung wählen!", MB_OK, 0);
    return;
  }
  const CString csDouble = FormatFactor(BemFaktor);
  const CString csScalestr = ScaleScript(csDouble);
  const CString csPScalestr = ScaleSettingScript(BemFaktor);

  ICallMe();
  // "Layer->grob" gives the coarse map; every other ending the fine one.
  if (ICallGenLay() == 1)
    InitLayerArray();
  else
    InitLayerArrayA();
  StartCloseDialogProgram();

  ConvertViewsToModelSpace(csDouble, csScalestr, csPScalestr);
  acutPrintf("\ndimtxsty mit Standard überschreiben ....");
  SendCommand("bemüberschr\ndimtxsty\nstandard\n\n_all\n\n");

  acutPrintf("\nErmittle Template ....");
  mtemplatestemplatepath();
  acutPrintf("\nAmsetupdwg ausführen ....");
  SendCommand(csAmSetupDwgCmd);
  acutPrintf("\nStil auf ISOCPEUR.TTF setzen ....");
  SendCommand("-stil\nSTANDARD\nisocpeur.ttf\n\n\n\n\n\n");
  acutPrintf("\nSetze Elemente im Modelspace auf VonLayer ....");
  SendCommand("Ändern\nAlle\n\nEI\nF\nVonLayer\nLTY\nVonLayer\nLS\nVonLayer\n\n");

  acutPrintf("\nSetze Elemente in Blöcken auf VonLayer ....");
  IterateBlocks();

  // The module's own commands run after the scripts above, in this order,
  // and read LayerArray as filled here.
  SendCommand("CREATEGENLAYER\n");
  SendCommand("AMBLOCKTOGENBLOCK\n");
  SendCommand("AMENTTOGENENT\n");
  SendCommand("SOLIDSINBLOCKSKONVERT\n");
  SendCommand("SOLIDSKONVERT\n");
  SendCommand("ERASELAYER\n");
  acutPrintf("\nKonvertierung fertig!\n");
}
