#include "passes/delete_m_bereich.h"

#include "adslib.h"
#include "afxwin.h"
#include "cstring.h"
#include "module/ads_helpers.h"
#include "passes/entity_walk.h"

namespace {

void ReportRefusedDelete(const resbuf* chain, bool first_entity) {
  if (first_entity) {
    AfxMessageBox("Fehler entdel", MB_OK, 0);
    return;
  }
  acutPrintf("\nFehler entdel");
  for (const resbuf* item = chain; item != nullptr; item = item->rbnext)
    if (item->restype == 0) AfxMessageBox(ItemString(item), MB_OK, 0);
}

}  // namespace

void DeleteMBereich() {
  CString mw_entdel = "NO";
  int ichange = 0;

  WalkDrawing([&](const ads_name entity, bool first_entity) {
    resbuf* entdata = acdbEntGet(entity);
    if (entdata == nullptr) return true;
    for (const resbuf* item = entdata; item != nullptr; item = item->rbnext) {
      if (item->restype != 410) continue;
      const char* layout = ItemString(item);
      if (Contains(layout, "Layout")) {
        ichange = 1;
        mw_entdel = "NO";
      }
      if (Contains(layout, "Model")) mw_entdel = "OK";
      // Model space after a layout: the rest belongs to the views.
      if (Contains(layout, "Model") && ichange == 1) {
        acutRelRb(entdata);
        return false;
      }
    }
    if (Contains(mw_entdel, "OK") && acdbEntDel(entity) != RTNORM)
      ReportRefusedDelete(entdata, first_entity);
    mw_entdel = "NO";
    acutRelRb(entdata);
    return true;
  });
}
