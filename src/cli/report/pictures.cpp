#include "cli/report/pictures.h"

#include "dxf/tag.h"
#include "host/ui/text_encoding.h"

namespace cli::report {

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
    if (!entry.picture.svg.empty()) pictures.push_back(std::move(entry));
  }
  return pictures;
}

std::string PictureCaption(const SpacePicture& entry, size_t max_primitives) {
  std::string caption = entry.space == "Model" ? "Model space" : "Layout \"" + entry.space + "\"";
  if (entry.current) caption += " (current)";
  if (entry.picture.truncated) {
    caption += " \xE2\x80\x94 cut short: only the first " +
               std::to_string(entry.picture.primitives) + " primitives are shown";
    if (entry.picture.primitives < max_primitives) caption += " (the drawing is too large)";
  }
  return caption;
}

}  // namespace cli::report
