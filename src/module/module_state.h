// The values that several commands of the module share. They live as long as
// the module is loaded and start empty (or zero) at every load.
#pragma once

#include "cstring.h"

// The drawing's dimension factor (DIMLFAC of the reference dimension); 0.0
// means that none has been determined. Written by getbemfaktor.
extern double BemFaktor;

// The line-weight texts ("0.50", ...) confirmed in the line-weight dialog for
// the layers AM_0, AM_3 and AM_4; empty until the dialog is first confirmed.
extern CString csStrichAM0;
extern CString csStrichAM3;
extern CString csStrichAM4;

// The "amsetupdwg" script built by the template selection.
extern CString csAmSetupDwgCmd;

// Puts every module-wide value back to its state at load. Called when the
// host initialises the module, so that a fresh load always starts empty, also
// when the module is linked into the host statically and loaded twice.
void ResetModuleState();
