// The pictures of a drawing for the report: model space and the current
// layout, each where it has something to show, the space the drawing opens
// in ($TILEMODE) first.
#pragma once

#include <string>
#include <vector>

#include "host/database/drawing.h"
#include "host/render/render_svg.h"

namespace cli::report {

struct SpacePicture {
  std::string space;  // "Model" or the layout's name (UTF-8)
  bool current = false;
  host::render::SvgPicture picture;
  // What the picture spans, in drawing units (0 when it shows nothing).
  double width = 0, height = 0;
};

// Each picture is fitted to its box, so a scale bar below the drawing (a
// round length in drawing units) shows its size.
std::vector<SpacePicture> DrawPictures(const host::Drawing& drawing,
                                       const host::render::SvgOptions& options = {});

// What a caption says of a picture: the space, "current", its extents in
// drawing units and, for a picture cut short, how much it shows (UTF-8).
std::string PictureCaption(const SpacePicture& picture, size_t max_primitives);

}  // namespace cli::report
