// The two walks the passes make over a drawing: the host's entity walk (model
// space and layouts) and the walk through every block definition.
#pragma once

#include "adslib.h"
#include "module/ads_helpers.h"

// Visits the entities in the host's walk order: the first from acdbEntNext
// with no start entity, then each next one while the host answers RTNORM.
// visit(name, is_first) returns false to end the walk. Stepping on from an
// entity that visit erased gives the entity that followed it.
template <typename Visit>
void WalkDrawing(Visit visit) {
  ads_name current;
  if (acdbEntNext(nullptr, current) != RTNORM) return;
  if (!visit(current, true)) return;
  ads_name next;
  while (acdbEntNext(current, next) == RTNORM) {
    CopyName(current, next);
    if (!visit(current, false)) return;
  }
}

// Visits the entities of every block definition, the definitions in block
// table order: acdbTblNext("BLOCK") gives each definition's record, whose -2
// item names its first entity; acdbEntNext steps through the definition (its
// ENDBLK last) while the host answers RTNORM. A definition without entities
// has no -2 item and is passed over.
template <typename Visit>
void WalkBlockDefinitions(Visit visit) {
  for (resbuf* record = acdbTblNext("BLOCK", 1); record != nullptr;
       record = acdbTblNext("BLOCK", 0)) {
    for (const resbuf* item = record; item != nullptr; item = item->rbnext) {
      if (item->restype != -2) continue;
      ads_name current;
      CopyName(current, item->resval.rlname);
      ads_name next;
      while (true) {
        visit(current);
        if (acdbEntNext(current, next) != RTNORM) break;
        CopyName(current, next);
      }
    }
    acutRelRb(record);
  }
}
