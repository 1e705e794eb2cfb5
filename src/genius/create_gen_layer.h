// Creates the twelve layers of a Genius 14 drawing, each with its linetype
// and colour.
#pragma once

#include "arx.h"
#include "cstring.h"

struct GeniusLayerRow {
  const char* name;
  const char* linetype;
  int color_index;
};

constexpr int kGeniusLayerCount = 12;
extern const GeniusLayerRow kGeniusLayers[kGeniusLayerCount];

// Adds one layer to the working database. The linetype must already be in
// the drawing; an existing layer of that name is left as it is. Returns eOk
// when the layer was added. Only the low 16 bits of the colour index reach
// the host. Ends the host (acrx_abort) when the layer table or the new
// record cannot be closed.
Acad::ErrorStatus createNewLayer(CString csLayerName, CString csLayerLineType,
                                 int iLayerColorIndex);

// Creates every row of the Genius layer table that can be created; a row
// that cannot (missing linetype, existing layer) is skipped silently.
void CreateGenLayer();

// The command CREATEGENLAYER.
void quarnquarncreategenlayer();
