#include "passes/iterate_blocks.h"

#include "adslib.h"
#include "cstring.h"
#include "module/ads_helpers.h"
#include "passes/entity_walk.h"
#include "passes/entmod_failure.h"
#include "passes/set_rb_string.h"

void IterateBlocks() {
  const char* const VonLayer = "ByLayer";
  const char* const csFixLayer = "AM_7";
  // The write-back flag is set by a linetype or layer change and cleared only
  // at an ENDBLK or SEQEND entity, not between entities: an entity whose only
  // changes are colour and line weight is written back when an earlier
  // entity set the flag since the last ENDBLK or SEQEND.
  CString mw_entmod = "NO";
  CString mw_blkname;

  WalkBlockDefinitions([&](const ads_name entity) {
    resbuf* entdata = acdbEntGet(entity);
    if (entdata == nullptr) return;
    for (resbuf* item = entdata; item != nullptr; item = item->rbnext) {
      switch (item->restype) {
        case 0:
          mw_blkname = ItemString(item);
          mw_blkname.MakeUpper();
          break;
        case 6:
          SetRbString(item, VonLayer);
          mw_entmod = "OK";
          break;
        case 8: {
          CString csBugLayer = ItemString(item);
          if (Contains(csBugLayer, "AM_2")) {
            SetRbString(item, csFixLayer);
            mw_entmod = "OK";
          }
          break;
        }
        case 62:
          item->resval.rint = 256;
          break;
        case 370:
          item->resval.rint = -1;
          break;
        default:
          break;
      }
      if (Contains(mw_blkname, "ENDBLK") || Contains(mw_blkname, "SEQEND")) {
        mw_blkname.Empty();
        mw_entmod = "NO";
        break;
      }
    }
    if (Contains(mw_entmod, "OK") && acdbEntMod(entdata) != RTNORM) ReportEntmodFailure(entdata);
    acutRelRb(entdata);
  });
}

void quarndravoliniterateblocks() { IterateBlocks(); }
