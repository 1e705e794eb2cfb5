// The steps the Mech6 and the Genius conversion share, in their order.
#include "adslib.h"
#include "commands/dravolin1_commands.h"
#include "hostenv/send_command.h"
#include "passes/delete_m_bereich.h"
#include "passes/read_dimstyle.h"
#include "passes/read_entity.h"

void ConvertViewsToModelSpace(const CString& csDouble, const CString& csScalestr,
                              const CString& csPScalestr) {
  acutPrintf("\nKonvertierung läuft....");
  acutPrintf("\nBemfaktor wurde ermittelt....");
  ReadEntity();
  acutPrintf("\nReadEntity fertig....");
  ReadDimstyle();
  acutPrintf("\nReadDimstyle fertig....");
  DeleteMBereich();
  acutPrintf("\nDeleteMBereich fertig....");

  // Move the views from the layout into the emptied model space.
  SendCommand("_cutclip\n_all\n\n");
  acutPrintf("\nWechsle in MBereich ....");
  SendCommand("TILEMODE\n1\n");
  SendCommand("_pasteclip\n0,0\n");
  acutPrintf("\nZeichnung wird skaliert ....");
  SendCommand(csScalestr);
  acutPrintf("\nZoom Grenzen ....");
  SendCommand("._zoom\n_e\n");

  acutPrintf("\nBemgfla setzen ....");
  ReadEntityXdata();
  acutPrintf("\nAM-Maßstabsinformationen setzten ....");
  SendCommand(csPScalestr);
  acutPrintf("\nLayereinstellungen einlesen ....");
  SendCommand("amlayreset\n");
  acutPrintf("\nBemfktr überschreiben ....");
  SendCommand(DimScaleOverrideScript(csDouble));
}
