// The 256-entry colour index of DXF files (group 62) as RGB, and how an
// entity's colour is resolved against its layer and the block reference
// that shows it.
#pragma once

#include <cstdint>

#include "host/host_only.h"

namespace host::render {

// 0xRRGGBB.
using Rgb = uint32_t;

inline constexpr int kByBlock = 0;
inline constexpr int kByLayer = 256;

// The colour of an index 1..255: 1-9 the basic colours, 10-249 twenty-four
// hues in five shades each fully and half saturated, 250-255 greys. Indices
// outside 1..255 give the colour of 7.
Rgb IndexColour(int index);

// The colour a stroke is drawn in on the white paper of the pictures:
// index 7 (and pure white, which no one could see) shows black; colours
// nearly as light as the paper (yellow) are darkened.
Rgb OnWhite(Rgb colour);

}  // namespace host::render
