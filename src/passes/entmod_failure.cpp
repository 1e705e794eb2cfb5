#include "passes/entmod_failure.h"

#include "afxwin.h"
#include "module/ads_helpers.h"

void ReportEntmodFailure(const resbuf* chain) {
  acutPrintf("\nFehler entmod");
  for (const resbuf* item = chain; item != nullptr; item = item->rbnext) {
    if (item->restype != 0) continue;
    AfxMessageBox("Gleich knallts", MB_OK, 0);
    AfxMessageBox(ItemString(item), MB_OK, 0);
  }
}
