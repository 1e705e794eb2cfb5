// Moves entities from the Mechanical layers (and four layers of the
// modeller's export) onto the Genius 14 layers through LayerArray.
#pragma once

#include "adslib.h"

// Rewrites the layer (group 8) items of one entity of the drawing; the
// entity's "ACAD" extended data is read and written back with it. A refused
// write-back goes unreported.
void AmEntitiesToGen(const ads_name e0);

// Rewrites the layers of the entities inside every block definition.
void AmBlocksToGen();

// The commands AMENTTOGENENT and AMBLOCKTOGENBLOCK.
void quarnquarnamenttogenent();
void quarnquarndravolin1amblocktogenblock();
