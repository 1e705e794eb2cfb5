// The map from Mechanical layers (AM_0 to AM_12) and four layers of the
// modeller's export to Genius 14 layers: 17 pairs of texts, element 2i the
// Genius target, element 2i+1 the source text looked for in a layer name.
#pragma once

#include "cstring.h"

constexpr int kLayerPairCount = 17;
extern CString LayerArray[2 * kLayerPairCount];

// The coarse filling ("Layer->grob").
void InitLayerArray();
// The fine filling ("Layer->fein"): AM_2, AM_3 and AM_7 go to 2A, 3A, 7A.
void InitLayerArrayA();
// Back to 34 empty texts, as at load.
void ClearLayerArray();

// The Genius layer for a layer name: the target of the last pair whose
// source text occurs in the name (case-sensitive). False when no pair
// matches; a pair with an empty source or target never matches, so the map
// leaves every name alone before it is first filled.
bool GeniusLayerFor(const char* layer_name, CString* target);
