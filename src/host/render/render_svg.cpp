#include "host/render/render_svg.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "host/geometry/affine.h"
#include "host/geometry/entity_extents.h"
#include "host/geometry/ocs.h"
#include "host/geometry/record_walk.h"
#include "host/geometry/vector_math.h"
#include "host/render/entity_painter.h"
#include "host/render/layer_styles.h"
#include "host/render/picture.h"
#include "host/render/svg_writer.h"
#include "host/render/tessellate.h"
#include "host/render/text_painter.h"

namespace host::render {

namespace {

using geometry::Affine;
using geometry::Ocs;
using geometry::Vec3;
using Views = std::vector<dxf::TagView>;

constexpr int kMaxDepth = 16;

// POLYLINE flags (70) and VERTEX flags (70).
constexpr long long kClosed = 1;
constexpr long long k3dPolyline = 8;
constexpr long long kPolygonMesh = 16;
constexpr long long kMeshClosedN = 32;
constexpr long long kPolyfaceMesh = 64;
constexpr long long kFaceRecord = 128;
constexpr long long kMeshVertex = 64;

// A POLYLINE whose VERTEX records are being read.
struct OpenPolyline {
  long long flags = 0;
  Affine placement;  // of its vertices: the OCS for 2D polylines
  double elevation = 0;
  Rgb colour = 0;
  std::vector<Vec3> vertices;
  std::vector<double> bulges;
  std::vector<std::vector<long long>> faces;  // polyface: 1-based vertex indices
  long long m = 0, n = 0;                     // polygon mesh size
};

// One sequence of records under one placement: a space, or a block being
// drawn for a reference.
struct Walk {
  Affine placement;
  int depth = 0;
  Inherited inherited;
  std::optional<OpenPolyline> polyline;
  bool hidden_insert = false;  // the ATTRIBs that follow are hidden with it
};

class Scene {
 public:
  Scene(const Drawing& drawing, const SvgOptions& options)
      : drawing_(drawing),
        styles_(drawing),
        picture_(options.max_primitives, options.max_points),
        records_left_(options.max_records) {}

  void DrawSpace(ContainerId space);
  Picture& picture() { return picture_; }

 private:
  // False when the walk must stop (the picture is full).
  bool Record(Walk* walk, const Views& tags);
  bool EndPolyline(Walk* walk);
  void AddVertex(OpenPolyline* polyline, const Views& tags);
  bool Insert(const Walk& walk, const Views& tags, const std::string& layer, Rgb colour);
  bool DrawBlock(std::string_view name, const Affine& placement, int depth,
                 const Inherited& inherited);
  bool Spend() {
    if (records_left_ == 0) {
      picture_.MarkTruncated();
      return false;
    }
    --records_left_;
    return !picture_.full();
  }

  const Drawing& drawing_;
  LayerStyles styles_;
  Picture picture_;
  size_t records_left_;
  std::vector<ContainerId> path_;  // the blocks being drawn, outermost first
};

void Scene::DrawSpace(ContainerId space) {
  Walk walk;
  Views tags;
  // A layout's first viewport is the sheet itself, whatever its id.
  bool sheet_seen = drawing_.container(space).kind != ContainerKind::kLayout;
  for (EntityId id = drawing_.FirstEntity(); id != kNoEntity; id = drawing_.NextEntity(id)) {
    if (drawing_.entity(id).container != space) continue;
    if (!sheet_seen && drawing_.EntityType(id) == "VIEWPORT") {
      sheet_seen = true;
      continue;
    }
    drawing_.EntityTags(id, &tags);
    if (!Record(&walk, tags)) return;
  }
  EndPolyline(&walk);
}

bool Scene::Record(Walk* walk, const Views& tags) {
  if (!Spend()) return false;
  std::string_view type = geometry::RecordType(tags);
  if (type == "VERTEX") {
    if (walk->polyline) AddVertex(&*walk->polyline, tags);
    return true;
  }
  if (!EndPolyline(walk)) return false;  // SEQEND or the next entity ends the vertices
  if (type == "SEQEND" || type == "ENDBLK" || type == "BLOCK") return true;
  if (type == "ATTRIB" && walk->hidden_insert) return true;
  walk->hidden_insert = false;

  CommonProperties props = ReadCommonProperties(tags, drawing_.encoding());
  std::string layer = styles_.EffectiveLayer(props, walk->inherited, walk->depth > 0);
  if (props.invisible || !styles_.Shown(layer)) {
    walk->hidden_insert = type == "INSERT";
    return true;
  }
  Rgb colour = styles_.EffectiveColour(props, layer, walk->inherited);

  if (type == "ATTDEF" && walk->depth > 0) return true;  // shown through the ATTRIBs
  if (type == "ATTRIB" || type == "ATTDEF") {
    if (geometry::OwnInteger(tags, 70).value_or(0) & 1) return true;  // invisible attribute
    return PaintText(type, tags, walk->placement, colour, drawing_.encoding(), &picture_);
  }
  if (type == "TEXT")
    return PaintText(type, tags, walk->placement, colour, drawing_.encoding(), &picture_);
  if (type == "MTEXT")
    return PaintMText(tags, walk->placement, colour, drawing_.encoding(), &picture_);
  if (type == "POLYLINE") {
    OpenPolyline polyline;
    polyline.flags = geometry::OwnInteger(tags, 70).value_or(0);
    bool plane = (polyline.flags & (k3dPolyline | kPolygonMesh | kPolyfaceMesh)) == 0;
    polyline.placement = plane ? walk->placement * Affine::FromOcs(Ocs(geometry::ExtrusionOf(tags)))
                               : walk->placement;
    if (std::optional<Vec3> elevation = geometry::OwnPoint(tags, 10))
      polyline.elevation = elevation->z;
    polyline.colour = colour;
    polyline.m = geometry::OwnInteger(tags, 71).value_or(0);
    polyline.n = geometry::OwnInteger(tags, 72).value_or(0);
    walk->polyline = std::move(polyline);
    return true;
  }
  if (type == "INSERT") return Insert(*walk, tags, layer, colour);
  if (type == "DIMENSION" || type == "ARC_DIMENSION" || type == "LARGE_RADIAL_DIMENSION") {
    // The dimension's block holds its lines, arrows and text, drawn in place.
    std::string_view name = geometry::OwnText(tags, 2);
    if (name.empty()) return true;
    return DrawBlock(name, walk->placement, walk->depth + 1, Inherited{layer, colour});
  }
  return PaintOwnGeometry(type, tags, walk->placement, colour, &picture_);
}

void Scene::AddVertex(OpenPolyline* p, const Views& tags) {
  long long flags = geometry::OwnInteger(tags, 70).value_or(0);
  if ((flags & kFaceRecord) && !(flags & kMeshVertex)) {
    std::vector<long long> face;
    for (int code : {71, 72, 73, 74}) {
      long long index = geometry::OwnInteger(tags, code).value_or(0);
      if (index != 0) face.push_back(std::llabs(index));  // negative: an invisible edge
    }
    p->faces.push_back(std::move(face));
    return;
  }
  std::optional<Vec3> v = geometry::OwnPoint(tags, 10);
  if (!v) return;
  if ((p->flags & (k3dPolyline | kPolygonMesh | kPolyfaceMesh)) == 0) v->z = p->elevation;
  p->vertices.push_back(*v);
  p->bulges.push_back(geometry::OwnNumber(tags, 42).value_or(0));
}

bool Scene::EndPolyline(Walk* walk) {
  if (!walk->polyline) return true;
  OpenPolyline p = std::move(*walk->polyline);
  walk->polyline.reset();
  const std::vector<Vec3>& v = p.vertices;
  if (v.empty()) return true;
  auto stroke = [&](const std::vector<Vec3>& points, bool closed) {
    std::vector<Point2> projected;
    for (const Vec3& point : points) projected.push_back(Project(p.placement, point));
    return picture_.AddStroke(p.colour, projected, closed);
  };
  if (p.flags & kPolyfaceMesh) {
    for (const std::vector<long long>& face : p.faces) {
      std::vector<Vec3> corners;
      for (long long index : face) {
        if (index >= 1 && static_cast<size_t>(index) <= v.size()) corners.push_back(v[index - 1]);
      }
      if (!stroke(corners, true)) return false;
    }
    return true;
  }
  if (p.flags & kPolygonMesh) {
    // m rows of n vertices: lines along both directions.
    if (p.m < 1 || p.n < 1 || static_cast<size_t>(p.m * p.n) > v.size()) return stroke(v, false);
    for (long long i = 0; i < p.m; ++i) {
      std::vector<Vec3> row(v.begin() + i * p.n, v.begin() + (i + 1) * p.n);
      if (!stroke(row, (p.flags & kMeshClosedN) != 0)) return false;
    }
    for (long long j = 0; j < p.n; ++j) {
      std::vector<Vec3> column;
      for (long long i = 0; i < p.m; ++i) column.push_back(v[i * p.n + j]);
      if (!stroke(column, (p.flags & kClosed) != 0)) return false;
    }
    return true;
  }
  bool closed = (p.flags & kClosed) != 0;
  if (p.flags & k3dPolyline) return stroke(v, closed);
  std::vector<Point2> points{Project(p.placement, v[0])};
  for (size_t k = 1; k < v.size(); ++k) {
    AppendBulgeSegment(p.placement, v[k - 1], v[k], p.bulges[k - 1], &points);
  }
  if (closed && v.size() > 1 && p.bulges.back() != 0) {
    AppendBulgeSegment(p.placement, v.back(), v.front(), p.bulges.back(), &points);
    points.pop_back();  // the first point again: the stroke closes itself
  }
  return picture_.AddStroke(p.colour, points, closed);
}

bool Scene::Insert(const Walk& walk, const Views& tags, const std::string& layer, Rgb colour) {
  std::string_view name = geometry::OwnText(tags, 2);
  Vec3 at = geometry::OwnPoint(tags, 10).value_or(Vec3{});
  double sx = geometry::OwnNumber(tags, 41).value_or(1),
         sy = geometry::OwnNumber(tags, 42).value_or(1);
  double sz = geometry::OwnNumber(tags, 43).value_or(1);
  long long columns = std::max(1LL, geometry::OwnInteger(tags, 70).value_or(1));
  long long rows = std::max(1LL, geometry::OwnInteger(tags, 71).value_or(1));
  double column_spacing = geometry::OwnNumber(tags, 44).value_or(0);
  double row_spacing = geometry::OwnNumber(tags, 45).value_or(0);
  Affine frame = walk.placement * Affine::FromOcs(Ocs(geometry::ExtrusionOf(tags))) *
                 Affine::Translation(at) *
                 Affine::RotationZ(geometry::OwnNumber(tags, 50).value_or(0));
  Affine scale = Affine::Scaling(sx, sy, sz);
  // A multiple insert repeats the block on a grid in the rotated frame; the
  // record budget bounds a grid of absurd size.
  for (long long r = 0; r < rows; ++r) {
    for (long long c = 0; c < columns; ++c) {
      Vec3 shift{static_cast<double>(c) * column_spacing, static_cast<double>(r) * row_spacing, 0};
      if (!DrawBlock(name, frame * Affine::Translation(shift) * scale, walk.depth + 1,
                     Inherited{layer, colour}))
        return false;
    }
  }
  return true;
}

bool Scene::DrawBlock(std::string_view name, const Affine& placement, int depth,
                      const Inherited& inherited) {
  if (depth > kMaxDepth) return true;
  // Block names come from the records, in the file's encoding.
  ContainerId block = drawing_.FindBlock(drawing_.encoding().Decode(dxf::TrimBlanks(name)));
  if (block == kNoContainer || drawing_.container(block).kind != ContainerKind::kBlock) return true;
  if (std::find(path_.begin(), path_.end(), block) != path_.end()) return true;  // a cycle
  Walk walk;
  walk.placement = placement;
  walk.depth = depth;
  walk.inherited = inherited;
  // The definition's base point lands on the insertion point.
  Views tags;
  drawing_.BlockTags(block, &tags);
  if (std::optional<Vec3> base = geometry::OwnPoint(tags, 10); base && geometry::IsFinite(*base)) {
    walk.placement = walk.placement * Affine::Translation(*base * -1.0);
  }
  path_.push_back(block);
  bool going = true;
  const Container& container = drawing_.container(block);
  for (EntityId id : container.entities) {
    if (id == container.endblk || drawing_.entity(id).erased) continue;
    drawing_.EntityTags(id, &tags);
    if (!Record(&walk, tags)) {
      going = false;
      break;
    }
  }
  if (going) going = EndPolyline(&walk);
  path_.pop_back();
  return going;
}

}  // namespace

SvgPicture RenderSvg(const Drawing& drawing, ContainerId space, const SvgOptions& options) {
  SvgPicture result;
  if (space >= drawing.container_count()) return result;
  Scene scene(drawing, options);
  scene.DrawSpace(space);
  SvgLook look;
  look.precision = options.precision;
  look.title = options.title;
  result.svg = WriteSvg(scene.picture(), look);
  result.primitives = scene.picture().primitives();
  result.truncated = scene.picture().truncated();
  return result;
}

}  // namespace host::render
