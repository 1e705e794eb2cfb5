// The dimension-factor pick and the pass that rescales every DIMLFAC
// override by the factor.
#include "adslib.h"
#include "afxwin.h"
#include "commands/dimstyle_override_walk.h"
#include "commands/dravolin1_commands.h"
#include "module/ads_helpers.h"
#include "module/module_state.h"
#include "passes/entity_walk.h"

void getbemfaktor() {
  static resbuf appname;
  BemFaktor = 0.0;
  SetAcadAppName(&appname);
  AfxMessageBox("Bitte eine Bemaßung mit Grundmaßstab wählen!\nKeine Einzelheit!", MB_OK, 0);

  ads_name ename = {0, 0};
  ads_point pt = {0.0, 0.0, 0.0};
  // Asked once; a cancelled or missed pick leaves BemFaktor at 0.0.
  if (acedEntSel("\nEine Grundmaßstabsbemaßung wählen:", ename, pt) != RTNORM) return;
  resbuf* entdata = acdbEntGetX(ename, &appname);
  if (entdata == nullptr) return;
  // The last DIMLFAC read wins; the entity's type is echoed, not examined.
  WalkDimStyleOverrides(entdata, /*echo_type=*/true,
                        [](resbuf* value) { BemFaktor = value->resval.rreal; });
  acutRelRb(entdata);
}

void ReadEntityXdata() {
  static resbuf appname;
  SetAcadAppName(&appname);
  if (!IsUsableFactor(BemFaktor)) {
    MessageBoxA(nullptr, "Sie müssen erst GETBEMFAKTOR ausführen!", "VURIZ", MB_OK);
    return;
  }
  WalkDrawing([](const ads_name entity, bool) {
    resbuf* entdata = acdbEntGetX(entity, &appname);
    if (entdata == nullptr) return true;
    WalkDimStyleOverrides(entdata, /*echo_type=*/false,
                          [](resbuf* value) { value->resval.rreal /= BemFaktor; });
    // Every entity is handed back, changed or not; a refusal is not reported.
    acdbEntMod(entdata);
    acutRelRb(entdata);
    return true;
  });
}
