#include "passes/konvert_solid.h"

#include "cstring.h"
#include "module/ads_helpers.h"
#include "passes/entity_walk.h"
#include "passes/entmod_failure.h"

namespace {

// What the test needs of one entity list.
struct SolidCorners {
  CString type;  // upper case
  bool has_first = false, has_third = false, has_fourth = false;
  double first[2] = {0.0, 0.0};   // group 10
  double third[2] = {0.0, 0.0};   // group 12
  double fourth[2] = {0.0, 0.0};  // group 13
};

void ReadItem(const resbuf* item, SolidCorners* solid) {
  switch (item->restype) {
    case 0:
      solid->type = ItemString(item);
      solid->type.MakeUpper();
      break;
    case 10:
      solid->first[0] = item->resval.rpoint[0];
      solid->first[1] = item->resval.rpoint[1];
      solid->has_first = true;
      break;
    case 12:
      solid->third[0] = item->resval.rpoint[0];
      solid->third[1] = item->resval.rpoint[1];
      solid->has_third = true;
      break;
    case 13:
      solid->fourth[0] = item->resval.rpoint[0];
      solid->fourth[1] = item->resval.rpoint[1];
      solid->has_fourth = true;
      break;
    default:
      break;
  }
}

// A three-cornered solid repeats its first corner as the fourth. The
// comparison is exact: a solid whose corners differ by any amount is a real
// four-cornered one. A list that lacks one of the three corners (a solid
// body has no group 13) is never changed.
bool Qualifies(const SolidCorners& solid) {
  return Contains(solid.type, "SOLID") && solid.has_first && solid.has_third && solid.has_fourth &&
         solid.first[0] == solid.fourth[0] && solid.first[1] == solid.fourth[1];
}

// Moves the fourth corner of a qualifying solid onto the third and marks the
// list changed; a changed list is written back.
void FixAndWriteBack(resbuf* list, const SolidCorners& solid, CString* changed) {
  if (Qualifies(solid)) {
    for (resbuf* item = list; item != nullptr; item = item->rbnext) {
      if (item->restype != 13) continue;
      item->resval.rpoint[0] = solid.third[0];
      item->resval.rpoint[1] = solid.third[1];
    }
    *changed = "OK";
  }
  if (Contains(*changed, "OK") && acdbEntMod(list) != RTNORM) ReportEntmodFailure(list);
}

}  // namespace

void KonvertSolid(const ads_name entity) {
  static resbuf appname;
  SetAcadAppName(&appname);

  CString changed = "NO";
  resbuf* list = acdbEntGetX(entity, &appname);
  if (list == nullptr) return;
  SolidCorners solid;
  for (const resbuf* item = list; item != nullptr; item = item->rbnext) ReadItem(item, &solid);
  FixAndWriteBack(list, solid, &changed);
  acutRelRb(list);
}

void KonvertSolidsInBlocks() {
  CString changed = "NO";
  WalkBlockDefinitions([&](const ads_name entity) {
    resbuf* list = acdbEntGet(entity);
    if (list == nullptr) return;
    SolidCorners solid;
    for (const resbuf* item = list; item != nullptr; item = item->rbnext) {
      ReadItem(item, &solid);
      // A definition's ENDBLK and a polyline's SEQEND are never changed.
      if (Contains(solid.type, "ENDBLK") || Contains(solid.type, "SEQEND")) {
        solid.type.Empty();
        changed = "NO";
        break;
      }
    }
    FixAndWriteBack(list, solid, &changed);
    changed = "NO";
    acutRelRb(list);
  });
}

void quarnquarndravolin1solidskonvert() {
  acutPrintf("Konvertiere Solids im Modelspace ....\n");
  WalkDrawing([](const ads_name entity, bool) {
    KonvertSolid(entity);
    return true;
  });
}

void quarnquarndravolin1solidsinblockskonvert() {
  acutPrintf("Konvertiere Solids in Blöcken ....\n");
  KonvertSolidsInBlocks();
}
