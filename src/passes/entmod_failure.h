// The report of a refused write-back (acdbEntMod) in the block and solid
// passes: "\nFehler entmod" on the command line, then for the chain's type
// item two message boxes, "Gleich knallts" and the entity's type name.
#pragma once

#include "adslib.h"

void ReportEntmodFailure(const resbuf* chain);
