// Solids conversion: a SOLID whose fourth corner (group 13) lies on its first
// (group 10) gets its fourth corner moved onto its third (group 12), in X and
// Y; Z is never touched.
#pragma once

#include "adslib.h"

// Treats one entity of the drawing (read with its "ACAD" extended data).
void KonvertSolid(const ads_name entity);

// Treats the entities inside every block definition.
void KonvertSolidsInBlocks();

// The commands SOLIDSKONVERT and SOLIDSINBLOCKSKONVERT.
void quarnquarndravolin1solidskonvert();
void quarnquarndravolin1solidsinblockskonvert();
