#include "host/render/svg_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "host/render/drawing_text.h"

namespace host::render {

namespace {

// SVG's em is about 1.4 times the height of a capital, which is what a
// drawing's text height gives.
constexpr double kEmPerTextHeight = 1.4;
// A margin round the drawing, as a share of its larger side.
constexpr double kMargin = 0.02;

std::string Hex(Rgb colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(colour & 0xFFFFFF));
  return text;
}

class Numbers {
 public:
  explicit Numbers(int decimals) : decimals_(decimals) {}
  std::string operator()(double v) const { return FormatFixed(v, decimals_); }
  int decimals() const { return decimals_; }

 private:
  int decimals_;
};

// The path data of the strokes of one colour: "M x y L x y x y ... Z".
void AppendStroke(const Picture& picture, const Stroke& stroke, const Numbers& number,
                  std::string* d) {
  std::string last;
  size_t written = 0;
  for (size_t k = 0; k < stroke.count; ++k) {
    const Point2& p = picture.points()[stroke.first + k];
    std::string xy = number(p.x) + " " + number(-p.y);
    if (xy == last) continue;  // the same point at this grid
    *d += written == 0 ? "M" : written == 1 ? "L" : " ";
    *d += xy;
    last = std::move(xy);
    ++written;
  }
  if (written == 1) {
    *d += "h0";  // a dot: a round cap on a segment of no length
  } else if (stroke.closed && written > 2) {
    *d += "Z";
  }
}

std::string LabelElement(const Label& label, const Numbers& number) {
  double height = std::hypot(label.y_axis.x, label.y_axis.y);
  // The text is drawn at the origin with the font size of its height; the
  // matrix turns, stretches or mirrors it as the drawing places it (y of
  // the drawing flipped: SVG's "up" is -y).
  double a = label.x_axis.x / height, b = -label.x_axis.y / height;
  double c = -label.y_axis.x / height, d = label.y_axis.y / height;
  constexpr int kMatrixDecimals = 4;
  std::string element = "<text fill=\"" + Hex(OnWhite(label.colour)) + "\" font-size=\"" +
                        FormatFixed(height * kEmPerTextHeight, std::max(number.decimals(), 2) + 2) +
                        "\" transform=\"matrix(" + FormatFixed(a, kMatrixDecimals) + " " +
                        FormatFixed(b, kMatrixDecimals) + " " + FormatFixed(c, kMatrixDecimals) +
                        " " + FormatFixed(d, kMatrixDecimals) + " " + number(label.origin.x) + " " +
                        number(-label.origin.y) + ")\"";
  if (label.anchor == Label::kMiddle) element += " text-anchor=\"middle\"";
  if (label.anchor == Label::kEnd) element += " text-anchor=\"end\"";
  element += ">" + XmlEscape(label.text) + "</text>\n";
  return element;
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
  if (!std::isfinite(value)) return "0";
  char text[64];
  int n = std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 15), value);
  if (n <= 0 || n >= static_cast<int>(sizeof text)) return "0";
  std::string out(text, static_cast<size_t>(n));
  if (out.find('.') != std::string::npos) {
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
  }
  if (out == "-0") out = "0";
  return out;
}

std::string WriteSvg(const Picture& picture, const SvgLook& look) {
  const Bounds& bounds = picture.bounds();
  if (bounds.empty) return "";
  double width = bounds.max_x - bounds.min_x, height = bounds.max_y - bounds.min_y;
  double size = std::max(width, height);
  if (!(size > 0)) size = 1;  // a single point
  double margin = size * kMargin;
  int decimals = std::clamp(look.precision - static_cast<int>(std::floor(std::log10(size))), 0, 12);
  Numbers number(decimals);

  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" +
                    number(bounds.min_x - margin) + " " + number(-bounds.max_y - margin) + " " +
                    number(width + 2 * margin) + " " + number(height + 2 * margin) +
                    "\" preserveAspectRatio=\"xMidYMid meet\">\n";
  if (!look.title.empty()) svg += "<title>" + XmlEscape(look.title) + "</title>\n";
  svg += "<rect x=\"" + number(bounds.min_x - margin) + "\" y=\"" + number(-bounds.max_y - margin) +
         "\" width=\"" + number(width + 2 * margin) + "\" height=\"" + number(height + 2 * margin) +
         "\" fill=\"#ffffff\"/>\n";

  // One path per colour, in the order the colours first appear.
  std::vector<Rgb> order;
  std::unordered_map<Rgb, std::string> paths;
  for (const Stroke& stroke : picture.strokes()) {
    Rgb colour = OnWhite(stroke.colour);
    auto [it, fresh] = paths.try_emplace(colour);
    if (fresh) order.push_back(colour);
    AppendStroke(picture, stroke, number, &it->second);
  }
  if (!order.empty()) {
    svg +=
        "<g fill=\"none\" stroke-width=\"1\" stroke-linecap=\"round\" "
        "stroke-linejoin=\"round\">\n";
    for (Rgb colour : order) {
      svg += "<path stroke=\"" + Hex(colour) + "\" vector-effect=\"non-scaling-stroke\" d=\"" +
             paths[colour] + "\"/>\n";
    }
    svg += "</g>\n";
  }
  if (!picture.labels().empty()) {
    svg += "<g font-family=\"sans-serif\" xml:space=\"preserve\">\n";
    for (const Label& label : picture.labels()) svg += LabelElement(label, number);
    svg += "</g>\n";
  }
  svg += "</svg>";
  return svg;
}

}  // namespace host::render
