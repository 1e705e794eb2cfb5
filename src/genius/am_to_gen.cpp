#include "genius/am_to_gen.h"

#include "cstring.h"
#include "genius/layer_array.h"
#include "module/ads_helpers.h"
#include "passes/entity_walk.h"
#include "passes/entmod_failure.h"
#include "passes/set_rb_string.h"

namespace {

// Rewrites a layer item through the map; true when a pair matched, even if
// the target equals the name.
bool RewriteLayer(resbuf* item) {
  CString target;
  if (!GeniusLayerFor(ItemString(item), &target)) return false;
  SetRbString(item, target);
  return true;
}

}  // namespace

void AmEntitiesToGen(const ads_name e0) {
  static resbuf appname;
  SetAcadAppName(&appname);

  CString csEntMod = "NO";
  resbuf* list = acdbEntGetX(e0, &appname);
  if (list == nullptr) return;
  for (resbuf* item = list; item != nullptr; item = item->rbnext)
    if (item->restype == 8 && RewriteLayer(item)) csEntMod = "OK";
  if (Contains(csEntMod, "OK")) acdbEntMod(list);
  acutRelRb(list);
}

void AmBlocksToGen() {
  CString csMyStr;
  // Not reset between entities: once an entity has been changed, the
  // following ones are written back too until an ENDBLK or SEQEND entity.
  CString mw_entmod = "NO";
  WalkBlockDefinitions([&](const ads_name entity) {
    resbuf* list = acdbEntGet(entity);
    if (list == nullptr) return;
    for (resbuf* item = list; item != nullptr; item = item->rbnext) {
      if (item->restype == 0) {
        csMyStr = ItemString(item);
        csMyStr.MakeUpper();
      }
      if (item->restype == 8 && RewriteLayer(item)) mw_entmod = "OK";
      if (Contains(csMyStr, "ENDBLK") || Contains(csMyStr, "SEQEND")) {
        csMyStr.Empty();
        mw_entmod = "NO";
        break;
      }
    }
    if (Contains(mw_entmod, "OK") && acdbEntMod(list) != RTNORM) ReportEntmodFailure(list);
    acutRelRb(list);
  });
}

void quarnquarnamenttogenent() {
  acutPrintf("Lege AM-Layerelemente auf Genius-Layer ....\n");
  WalkDrawing([](const ads_name entity, bool) {
    AmEntitiesToGen(entity);
    return true;
  });
}

void quarnquarndravolin1amblocktogenblock() {
  acutPrintf("Lege AM-Layerelemente in Blöcken auf Genius-Layer ....\n");
  AmBlocksToGen();
}
