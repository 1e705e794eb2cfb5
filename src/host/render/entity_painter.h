// The strokes of entity records whose geometry lies in the record itself:
// lines, points, circles and arcs, ellipses, light-weight polylines,
// splines, solids, traces, 3D faces, leaders, hatch boundaries, viewport
// and image frames. Texts are in text_painter.h; records that reach into
// others (POLYLINE with its vertices, INSERT, DIMENSION) are the scene's.
#pragma once

#include <string_view>
#include <vector>

#include "dxf/tag.h"
#include "host/geometry/affine.h"
#include "host/host_only.h"
#include "host/render/picture.h"

namespace host::render {

// Adds the record's strokes, placed by placement, in colour. Types without
// geometry of their own, endless lines (XLINE, RAY) and unknown types add
// nothing. False when the picture is full.
bool PaintOwnGeometry(std::string_view type, const std::vector<dxf::TagView>& tags,
                      const geometry::Affine& placement, Rgb colour, Picture* picture);

// The boundary paths of a HATCH: polyline paths with their bulges, edge
// paths (lines, arcs, elliptic arcs, splines) edge by edge.
bool PaintHatchBoundary(const std::vector<dxf::TagView>& tags, const geometry::Affine& placement,
                        Rgb colour, Picture* picture);

}  // namespace host::render
