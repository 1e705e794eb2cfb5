// The walk that the dimension-factor pick and the DIMLFAC pass make over an
// entity's chain with its "ACAD" extended data, whose dimension-style
// overrides read: 1000 "DSTYLE", 1002 "{", pairs of 1070 variable code and
// value, 1002 "}".
#pragma once

#include "adslib.h"
#include "module/ads_helpers.h"

// Echoes the entity type (when echo_type), the start of the extended data,
// and the start, DIMLFAC values and end of each override list, and calls
// on_dimlfac with every DIMLFAC value item: a 1040 item after a 1070 144
// item. A 1070 144 item followed by anything else is no value and is left
// alone. A list that is not closed ends with the chain.
template <typename OnDimlfac>
void WalkDimStyleOverrides(resbuf* chain, bool echo_type, OnDimlfac on_dimlfac) {
  for (resbuf* item = chain; item != nullptr; item = item->rbnext) {
    if (item->restype == 0) {
      if (echo_type) acutPrintf("\nEntity = %s", ItemString(item));
      continue;
    }
    if (item->restype == -3) {
      acutPrintf("\nEntityXdata -3");
      continue;
    }
    if (!IsStringItem(item, 1000, "DSTYLE")) continue;
    item = item->rbnext;
    if (item == nullptr) return;
    if (!IsStringItem(item, 1002, "{")) continue;
    acutPrintf("\nStart mit %s", ItemString(item));
    while (true) {
      item = item->rbnext;
      if (item == nullptr) return;
      if (item->restype == 1070 && item->resval.rint == 144) {
        item = item->rbnext;
        if (item == nullptr) return;
        if (item->restype == 1040) {
          acutPrintf("\n144 = %f", item->resval.rreal);
          on_dimlfac(item);
        }
      }
      if (IsStringItem(item, 1002, "}")) {
        acutPrintf("\nEnde mit %s", ItemString(item));
        break;
      }
    }
  }
}
