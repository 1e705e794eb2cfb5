#include "host/render/colour_index.h"

#include <algorithm>
#include <cmath>

namespace host::render {

namespace {

constexpr Rgb kBasic[10] = {0x000000, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                            0x0000FF, 0xFF00FF, 0xFFFFFF, 0x808080, 0xC0C0C0};
constexpr Rgb kGreys[6] = {0x333333, 0x505050, 0x696969, 0x828282, 0xBEBEBE, 0xFFFFFF};
// The brightness of the five shades of each hue, brightest first.
constexpr double kShades[5] = {1.0, 0.8, 0.6, 0.5, 0.3};
// The lightest colour (relative luminance) a picture draws as it is.
constexpr double kLightest = 0.8;

Rgb FromUnit(double r, double g, double b) {
  auto channel = [](double v) {
    return static_cast<Rgb>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
  };
  return channel(r) << 16 | channel(g) << 8 | channel(b);
}

// Hue in degrees, saturation and value in 0..1.
Rgb FromHsv(double hue, double saturation, double value) {
  double sector = std::fmod(hue, 360.0) / 60.0;
  int i = static_cast<int>(sector);
  double f = sector - i;
  double p = value * (1 - saturation), q = value * (1 - saturation * f);
  double t = value * (1 - saturation * (1 - f));
  switch (i) {
    case 0:
      return FromUnit(value, t, p);
    case 1:
      return FromUnit(q, value, p);
    case 2:
      return FromUnit(p, value, t);
    case 3:
      return FromUnit(p, q, value);
    case 4:
      return FromUnit(t, p, value);
    default:
      return FromUnit(value, p, q);
  }
}

}  // namespace

Rgb IndexColour(int index) {
  if (index < 1 || index > 255) return kBasic[7];
  if (index < 10) return kBasic[index];
  if (index >= 250) return kGreys[index - 250];
  // 10, 20, ... 240 start a hue, 15 degrees apart; within it even offsets
  // are fully saturated, odd ones half, the shade darkening every two.
  double hue = (index / 10 - 1) * 15.0;
  int offset = index % 10;
  return FromHsv(hue, offset % 2 == 0 ? 1.0 : 0.5, kShades[offset / 2]);
}

Rgb OnWhite(Rgb colour) {
  if (colour == 0xFFFFFF) return 0x000000;
  double r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, b = colour & 0xFF;
  // Colours nearly as light as the paper (yellow, the palest shades) are
  // darkened, keeping their hue, so that lines and texts in them can be read.
  double luminance = (0.2126 * r + 0.7152 * g + 0.0722 * b) / 255;
  if (luminance <= kLightest) return colour;
  double f = kLightest * 0.8 / luminance;
  return FromUnit(r / 255 * f, g / 255 * f, b / 255 * f);
}

}  // namespace host::render
