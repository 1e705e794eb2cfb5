// The extents of one entity record whose geometry lies in the record
// itself. Records that reach into others (INSERT and DIMENSION through their
// blocks, POLYLINE through its VERTEX records) are left to the collector.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "dxf/tag.h"
#include "host/geometry/extent_sink.h"
#include "host/host_only.h"

namespace host::geometry {

// Adds the geometry of the record to sink. Returns false for the types the
// collector handles itself.
bool AddOwnGeometry(std::string_view type, const std::vector<dxf::TagView>& tags,
                    const ExtentSink& sink);

// The HATCH boundary (paths of polylines and edges), in the hatch's OCS.
void AddHatchBoundary(const std::vector<dxf::TagView>& tags, const ExtentSink& ocs_sink);

// The point code, code+10, code+20 starting at index i (z 0 when absent).
std::optional<Vec3> PointAt(const std::vector<dxf::TagView>& tags, size_t i);

// The first point with x code among the record's own data (outside an
// embedded object).
std::optional<Vec3> OwnPoint(const std::vector<dxf::TagView>& tags, int code);

// The first text of code among the record's own data, "" when absent.
std::string_view OwnText(const std::vector<dxf::TagView>& tags, int code);

// Grows extents by half a width w on every side of a plane figure, the
// plane's x and y axes being placed by placement.
void PadInPlane(const Affine& placement, double half_width, Extents* extents);

}  // namespace host::geometry
