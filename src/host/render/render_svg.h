// Pictures of a drawing: the entities of model space or of a layout drawn
// as SVG from the drawing's own records, block references and dimensions
// expanded through their blocks, in the colours the layers give them.
#pragma once

#include <cstddef>
#include <string>

#include "host/database/drawing.h"
#include "host/host_only.h"

namespace host::render {

struct SvgOptions {
  // Bounds on the work for huge drawings: past either, the picture is cut
  // short (SvgPicture::truncated). A primitive is one stroke or one line of
  // text; records counts every record walked, inside blocks too.
  size_t max_primitives = 200000;
  size_t max_points = 4000000;
  size_t max_records = 4000000;
  // Coordinates are rounded to the picture's size / 10^precision.
  int precision = 5;
  std::string title;  // UTF-8, the picture's tooltip
};

struct SvgPicture {
  std::string svg;  // one <svg> element (UTF-8); "" when the space shows nothing
  size_t primitives = 0;
  bool truncated = false;
};

// Draws the entities of a model-space or layout container as seen from
// above. Shown: lines, points, circles, arcs, ellipses, polylines (also
// POLYLINE with its vertices, polyface and polygon meshes), splines, texts
// (TEXT, ATTRIB, MTEXT without its formatting), hatch boundaries, SOLID,
// TRACE and 3DFACE outlines, leaders, viewport frames. Block references
// and dimensions are drawn through their blocks, nested up to 16 deep; a
// block that references itself is not followed again. Entities on layers
// that are off or frozen, and invisible ones, are left out.
SvgPicture RenderSvg(const Drawing& drawing, ContainerId space, const SvgOptions& options);

}  // namespace host::render
