#include "cli/report/pictures.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "dxf/tag.h"
#include "host/render/svg_writer.h"
#include "host/ui/text_encoding.h"

namespace cli::report {

namespace {

// A round length (1, 2 or 5 times a power of ten) of at most limit.
double RoundLength(double limit) {
  double power = std::pow(10.0, std::floor(std::log10(limit)));
  for (double step : {5.0, 2.0, 1.0})
    if (step * power <= limit) return step * power;
  return power;
}

// Adds a band below the drawing with a scale bar, and notes the picture's
// extents. The band widens the viewBox; the drawing keeps its place.
void AddScaleBar(SpacePicture* entry) {
  std::string& svg = entry->picture.svg;
  size_t at = svg.find("viewBox=\"");
  if (at == std::string::npos) return;
  at += 9;
  size_t end = svg.find('"', at);
  double x, y, width, height;
  if (end == std::string::npos ||
      std::sscanf(svg.substr(at, end - at).c_str(), "%lf %lf %lf %lf", &x, &y, &width, &height) !=
          4 ||
      !(width > 0) || !(height > 0))
    return;
  entry->width = width;
  entry->height = height;
  auto number = [](double value) { return host::render::FormatFixed(value, 6); };
  double band = std::max(width, height) * 0.06;
  double length = RoundLength(width * 0.3);
  double left = x + width * 0.03, base = y + height + band * 0.75, tick = band * 0.2;
  std::string bar = "<g class=\"scale\"><rect x=\"" + number(x) + "\" y=\"" + number(y + height) +
                    "\" width=\"" + number(width) + "\" height=\"" + number(band) +
                    "\" fill=\"#ffffff\"/><path stroke=\"#000000\" stroke-width=\"1.5\" "
                    "vector-effect=\"non-scaling-stroke\" fill=\"none\" d=\"M" +
                    number(left) + " " + number(base - tick) + "V" + number(base) + "H" +
                    number(left + length) + "V" + number(base - tick) + "\"/><text x=\"" +
                    number(left + length + band * 0.2) + "\" y=\"" + number(base) +
                    "\" font-size=\"" + number(band * 0.5) +
                    "\" font-family=\"sans-serif\" fill=\"#000000\">" + number(length) +
                    " drawing units</text></g>\n";
  svg.replace(at, end - at,
              number(x) + " " + number(y) + " " + number(width) + " " + number(height + band));
  size_t close = svg.rfind("</svg>");
  if (close != std::string::npos) svg.insert(close, bar);
}

}  // namespace

std::vector<SpacePicture> DrawPictures(const host::Drawing& drawing,
                                       const host::render::SvgOptions& options) {
  bool tilemode = true;
  if (std::optional<std::string> value = drawing.HeaderValue("$TILEMODE"))
    tilemode = dxf::ParseInt(*value).value_or(1) != 0;
  std::vector<host::ContainerId> spaces;
  host::ContainerId model = drawing.model_space(), layout = drawing.active_layout();
  if (layout != host::kNoContainer && drawing.container(layout).erased) layout = host::kNoContainer;
  if (tilemode) {
    spaces = {model, layout};
  } else {
    spaces = {layout, model};
  }
  std::vector<SpacePicture> pictures;
  for (host::ContainerId id : spaces) {
    if (id == host::kNoContainer) continue;
    SpacePicture entry;
    entry.space = host::Cp1252ToUtf8(drawing.LayoutNameOf(id));
    entry.current = (id == model) == tilemode;
    host::render::SvgOptions look = options;
    look.title = entry.space;
    entry.picture = host::render::RenderSvg(drawing, id, look);
    if (entry.picture.svg.empty()) continue;
    AddScaleBar(&entry);
    pictures.push_back(std::move(entry));
  }
  return pictures;
}

std::string PictureCaption(const SpacePicture& entry, size_t max_primitives) {
  std::string caption = entry.space == "Model" ? "Model space" : "Layout \"" + entry.space + "\"";
  if (entry.current) caption += " (current)";
  if (entry.width > 0)
    caption += ", " + host::render::FormatFixed(entry.width, 3) + " \xC3\x97 " +
               host::render::FormatFixed(entry.height, 3) + " drawing units";
  if (entry.picture.truncated) {
    caption += " \xE2\x80\x94 cut short: only the first " +
               std::to_string(entry.picture.primitives) + " primitives are shown";
    if (entry.picture.primitives < max_primitives) caption += " (the drawing is too large)";
  }
  return caption;
}

}  // namespace cli::report
