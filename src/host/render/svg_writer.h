// A picture as one SVG element: y flipped (SVG's y runs down), coordinates
// rounded to a grid fine enough for the picture's size, the strokes of one
// colour joined into one path.
#pragma once

#include <string>

#include "host/host_only.h"
#include "host/render/picture.h"

namespace host::render {

struct SvgLook {
  // Digits kept of the picture's size: coordinates are rounded to its
  // size / 10^precision.
  int precision = 5;
  std::string title;  // UTF-8; shown as a tooltip; empty for none
};

// The <svg> element, "" for a picture without anything to show.
std::string WriteSvg(const Picture& picture, const SvgLook& look);

// A number with at most decimals digits after the point, trailing zeros
// dropped ("12.5", "-3", "0").
std::string FormatFixed(double value, int decimals);

}  // namespace host::render
