// The entity rewriting pass: moves the exported drawing's geometry onto the
// Mechanical layers AM_0 to AM_8, by line weight (using the three line-weight
// choices) and by kind (dimensions, hatches, the modeller's centre-line,
// centre-point and transition-symbol blocks); sets explicit linetypes and
// line weights to ByLayer; removes the "N/A" placeholders from dimension
// texts.
#pragma once

void ReadEntity();
