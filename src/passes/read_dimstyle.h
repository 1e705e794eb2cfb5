// The dimension-style colour pass: every dimension style of the drawing gets
// dimension and extension lines ByLayer and dimension text colour 2.
#pragma once

void ReadDimstyle();
