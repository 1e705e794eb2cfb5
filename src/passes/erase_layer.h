// Erases every entity on the Genius frame layer "1" and on the modeller's
// sketch-line layer "Skizzierlinie".
#pragma once

#include "cstring.h"

// Erases every entity (of any space) on the layer of that name.
void EraseLayerElements(CString layer);

// The command ERASELAYER.
void quarnquarndravolin1eraselayer();
