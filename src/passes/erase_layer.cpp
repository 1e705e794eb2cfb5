#include "passes/erase_layer.h"

#include "adslib.h"

void EraseLayerElements(CString layer) {
  resbuf filter = {};
  filter.rbnext = nullptr;
  filter.restype = 8;
  filter.resval.rstring = const_cast<char*>(static_cast<const char*>(layer));

  ads_name selection;
  if (acedSSGet("X", nullptr, nullptr, &filter, selection) != RTNORM) {
    acutPrintf("\nKeine Elemente auf Layer %s gefunden!", static_cast<const char*>(layer));
    return;
  }
  long length = 0;
  if (acedSSLength(selection, &length) == RTNORM) {
    if (length > 0)
      acutPrintf("\nElemente auf Layer %s gefunden!", static_cast<const char*>(layer));
    for (long i = 0; i < length; ++i) {
      ads_name entity;
      if (acedSSName(selection, i, entity) == RTNORM) acdbEntDel(entity);
    }
  }
  // The host allows only a limited number of selection sets at a time.
  acedSSFree(selection);
}

void quarnquarndravolin1eraselayer() {
  acutPrintf("Lösche Elemente auf Rahmenlayer ....");
  EraseLayerElements("1");
  EraseLayerElements("Skizzierlinie");
  acutPrintf("\nKonvertierung fertig!\n");
}
