// Sets the entities inside every block definition to ByLayer (linetype,
// colour, line weight) and moves them from layers named like "AM_2" to AM_7.
#pragma once

void IterateBlocks();

// The command ITERATEBLOCKS.
void quarndravoliniterateblocks();
