// Extents, and the collector that walks entities, polylines and blocks.
#include "host/geometry/extents.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_map>

#include "host/geometry/affine.h"
#include "host/geometry/entity_extents.h"
#include "host/geometry/extent_sink.h"
#include "host/geometry/record_walk.h"
#include "host/geometry/vector_math.h"

namespace host::geometry {

void Extents::Add(const Vec3& p) {
  if (!IsFinite(p)) return;
  min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
  max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

void Extents::Add(const Extents& other) {
  if (other.empty()) return;
  Add(other.min);
  Add(other.max);
}

namespace {

using Views = std::vector<dxf::TagView>;

constexpr int kMaxDepth = 16;
// Records that may be walked through inserts that turn the block's axes
// (where a transformed box would overstate the extents). Past it, blocks are
// taken by their box, which keeps pathological nesting fast.
constexpr size_t kExactBudget = 100000;

// POLYLINE flags (70) and VERTEX flags (70).
constexpr long long kClosed = 1;
constexpr long long k3dKinds = 8 | 16 | 64;  // 3D polyline, polygon mesh, polyface mesh
constexpr long long kFaceRecord = 128;
constexpr long long kMeshVertex = 64;

// A POLYLINE whose VERTEX records are being read.
struct OpenPolyline {
  Affine placement;  // of its vertices: the OCS for 2D polylines
  bool is_3d = false;
  bool closed = false;
  double elevation = 0;
  double half_width = 0;
  std::optional<Vec3> first, previous;
  double bulge = 0;  // of the segment from the previous vertex
  Extents own;
};

// One sequence of records under one placement: the records given to the
// collector, or those of a block being followed.
struct Walk {
  Affine placement;
  int depth = 0;
  bool in_block = false;
  std::optional<OpenPolyline> polyline;
};

std::string BlockKey(std::string_view name) {
  std::string key(dxf::TrimBlanks(name));
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

// A value of the whole record (the entity part included), such as the
// visibility 60.
std::optional<long long> RecordInteger(const Views& tags, int code) {
  size_t end = XdataBegin(tags);
  for (size_t i = 1; i < end; ++i) {
    if (tags[i].code == 102 && dxf::TrimBlanks(tags[i].value).starts_with("{")) {
      i = SkipAppGroup(tags, i, end) - 1;
    } else if (tags[i].code == code) {
      return dxf::ParseInt(tags[i].value);
    }
  }
  return std::nullopt;
}

void Close(OpenPolyline* p, Extents* out) {
  ExtentSink sink(p->placement, &p->own);
  if (p->closed && !p->is_3d && p->first && p->previous) {
    sink.BulgeSegment(*p->previous, *p->first, p->bulge);
  }
  if (!p->is_3d) PadInPlane(p->placement, p->half_width, &p->own);
  out->Add(p->own);
}

}  // namespace

class ExtentsCollector::Engine {
 public:
  explicit Engine(BlockVisitor blocks) : blocks_(std::move(blocks)) {}

  void Record(Walk* walk, const Views& tags, Extents* out);
  void EndPolyline(Walk* walk, Extents* out) {
    if (walk->polyline) Close(&*walk->polyline, out);
    walk->polyline.reset();
  }

  Walk top;
  Extents extents;

 private:
  void StartPolyline(Walk* walk, const Views& tags);
  void AddVertex(OpenPolyline* polyline, const Views& tags);
  void Insert(const Walk& walk, const Views& tags, Extents* out);
  void Dimension(const Walk& walk, const Views& tags, Extents* out);
  bool PlaceBlock(std::string_view name, const Affine& placement, int depth, Extents* out);
  bool WalkBlock(std::string_view name, const Affine& placement, int depth, Extents* out);
  const std::optional<Extents>& BlockBox(std::string_view name, int depth);

  BlockVisitor blocks_;
  std::unordered_map<std::string, std::optional<Extents>> boxes_;  // in block coordinates
  std::vector<std::string> path_;  // the blocks being followed, outermost first
  size_t budget_ = kExactBudget;
};

void ExtentsCollector::Engine::Record(Walk* walk, const Views& tags, Extents* out) {
  if (budget_ > 0) --budget_;
  std::string_view type = RecordType(tags);
  if (type == "VERTEX") {
    if (walk->polyline) {
      AddVertex(&*walk->polyline, tags);
    } else {
      // A vertex given without its polyline: its point, as a world point.
      OpenPolyline lone;
      lone.placement = walk->placement;
      lone.is_3d = true;
      AddVertex(&lone, tags);
      out->Add(lone.own);
    }
    return;
  }
  EndPolyline(walk, out);  // SEQEND or the next entity ends the vertices
  if (type == "SEQEND") return;
  if (type == "BLOCK") {
    // The definition's base point lands on the insertion point.
    if (walk->in_block) {
      if (std::optional<Vec3> base = OwnPoint(tags, 10); base && IsFinite(*base)) {
        walk->placement = walk->placement * Affine::Translation(*base * -1.0);
      }
    }
    return;
  }
  if (RecordInteger(tags, 60).value_or(0) == 1) return;  // invisible
  if (type == "ATTDEF" && walk->in_block) return;        // shown only through ATTRIBs
  if ((type == "ATTRIB" || type == "ATTDEF") && (OwnInteger(tags, 70).value_or(0) & 1)) return;
  if (type == "POLYLINE") {
    StartPolyline(walk, tags);
    return;
  }
  if (type == "INSERT") {
    Insert(*walk, tags, out);
    return;
  }
  if (type == "DIMENSION" || type == "ARC_DIMENSION" || type == "LARGE_RADIAL_DIMENSION") {
    Dimension(*walk, tags, out);
    return;
  }
  Extents own;
  AddOwnGeometry(type, tags, ExtentSink(walk->placement, &own));
  // A thickness extrudes the entity along its extrusion direction.
  double thickness = OwnNumber(tags, 39).value_or(0);
  if (!own.empty() && thickness != 0 && std::isfinite(thickness)) {
    Vec3 lift = walk->placement.Vector(Ocs(ExtrusionOf(tags)).z_axis() * thickness);
    own.Add(own.min + lift);
    own.Add(own.max + lift);
  }
  out->Add(own);
}

void ExtentsCollector::Engine::StartPolyline(Walk* walk, const Views& tags) {
  OpenPolyline p;
  long long flags = OwnInteger(tags, 70).value_or(0);
  p.is_3d = (flags & k3dKinds) != 0;
  p.closed = (flags & kClosed) != 0;
  p.placement =
      p.is_3d ? walk->placement : walk->placement * Affine::FromOcs(Ocs(ExtrusionOf(tags)));
  if (std::optional<Vec3> elevation = OwnPoint(tags, 10)) p.elevation = elevation->z;
  for (int code : {40, 41}) {
    double w = OwnNumber(tags, code).value_or(0);
    if (std::isfinite(w)) p.half_width = std::max(p.half_width, std::fabs(w) / 2);
  }
  walk->polyline = std::move(p);
}

void ExtentsCollector::Engine::AddVertex(OpenPolyline* p, const Views& tags) {
  long long flags = OwnInteger(tags, 70).value_or(0);
  if ((flags & kFaceRecord) && !(flags & kMeshVertex)) return;  // indices only
  std::optional<Vec3> v = OwnPoint(tags, 10);
  if (!v) return;
  ExtentSink sink(p->placement, &p->own);
  if (!p->is_3d) v->z = p->elevation;
  if (p->previous && !p->is_3d) {
    sink.BulgeSegment(*p->previous, *v, p->bulge);
  } else {
    sink.Point(*v);
  }
  if (!p->first) p->first = v;
  p->previous = v;
  p->bulge = OwnNumber(tags, 42).value_or(0);
  for (int code : {40, 41}) {
    double w = OwnNumber(tags, code).value_or(0);
    if (std::isfinite(w)) p->half_width = std::max(p->half_width, std::fabs(w) / 2);
  }
}

void ExtentsCollector::Engine::Insert(const Walk& walk, const Views& tags, Extents* out) {
  std::string_view name = OwnText(tags, 2);
  Vec3 at = OwnPoint(tags, 10).value_or(Vec3{});
  double sx = OwnNumber(tags, 41).value_or(1), sy = OwnNumber(tags, 42).value_or(1);
  double sz = OwnNumber(tags, 43).value_or(1);
  long long columns = std::max(1LL, OwnInteger(tags, 70).value_or(1));
  long long rows = std::max(1LL, OwnInteger(tags, 71).value_or(1));
  double column_spacing = OwnNumber(tags, 44).value_or(0);
  double row_spacing = OwnNumber(tags, 45).value_or(0);
  Affine frame = walk.placement * Affine::FromOcs(Ocs(ExtrusionOf(tags))) *
                 Affine::Translation(at) * Affine::RotationZ(OwnNumber(tags, 50).value_or(0));
  Affine scale = Affine::Scaling(sx, sy, sz);
  // The copies of a multiple insert lie on a grid (in the rotated, unscaled
  // frame); the extents of all of them are those of the corner copies.
  std::vector<long long> corner_columns{0}, corner_rows{0};
  if (columns > 1) corner_columns.push_back(columns - 1);
  if (rows > 1) corner_rows.push_back(rows - 1);
  for (long long c : corner_columns) {
    for (long long r : corner_rows) {
      Vec3 shift{static_cast<double>(c) * column_spacing, static_cast<double>(r) * row_spacing, 0};
      if (!PlaceBlock(name, frame * Affine::Translation(shift) * scale, walk.depth + 1, out)) {
        out->Add(frame.Point(shift));  // a missing block: its insertion point at least
      }
    }
  }
}

void ExtentsCollector::Engine::Dimension(const Walk& walk, const Views& tags, Extents* out) {
  // The dimension's block holds its lines, arrows and text, drawn in place.
  std::string_view name = OwnText(tags, 2);
  if (!name.empty() && PlaceBlock(name, walk.placement, walk.depth + 1, out)) return;
  // Without it, the definition points stand for the dimension.
  ExtentSink sink(walk.placement, out);
  ExtentSink ocs_sink = sink.Within(Affine::FromOcs(Ocs(ExtrusionOf(tags))));
  for (int code : {10, 13, 14, 15}) {
    if (std::optional<Vec3> p = OwnPoint(tags, code)) sink.Point(*p);
  }
  for (int code : {11, 16}) {
    if (std::optional<Vec3> p = OwnPoint(tags, code)) ocs_sink.Point(*p);
  }
}

// Adds the block placed by placement; false when there is no such block.
bool ExtentsCollector::Engine::PlaceBlock(std::string_view name, const Affine& placement, int depth,
                                          Extents* out) {
  if (depth > kMaxDepth) return true;
  if (std::find(path_.begin(), path_.end(), BlockKey(name)) != path_.end()) return true;  // cycle
  if (!placement.keeps_axes() && budget_ > 0) return WalkBlock(name, placement, depth, out);
  // Axis-true placements carry the block's box exactly.
  const std::optional<Extents>& box = BlockBox(name, depth);
  if (!box) return false;
  if (box->empty()) return true;
  for (double x : {box->min.x, box->max.x}) {
    for (double y : {box->min.y, box->max.y}) {
      for (double z : {box->min.z, box->max.z}) out->Add(placement.Point({x, y, z}));
    }
  }
  return true;
}

bool ExtentsCollector::Engine::WalkBlock(std::string_view name, const Affine& placement, int depth,
                                         Extents* out) {
  if (!blocks_) return false;
  path_.push_back(BlockKey(name));
  Walk walk;
  walk.placement = placement;
  walk.depth = depth;
  walk.in_block = true;
  bool found = blocks_(name, [&](const Views& record) { Record(&walk, record, out); });
  EndPolyline(&walk, out);
  path_.pop_back();
  return found;
}

const std::optional<Extents>& ExtentsCollector::Engine::BlockBox(std::string_view name, int depth) {
  std::string key = BlockKey(name);
  auto it = boxes_.find(key);
  if (it != boxes_.end()) return it->second;
  Extents box;
  bool found = WalkBlock(name, Affine(), depth, &box);
  std::optional<Extents>& slot = boxes_[key];
  if (found) slot = box;
  return slot;
}

ExtentsCollector::ExtentsCollector(BlockVisitor blocks)
    : engine_(std::make_unique<Engine>(std::move(blocks))) {}

ExtentsCollector::~ExtentsCollector() = default;

void ExtentsCollector::Add(const std::vector<dxf::TagView>& record) {
  engine_->Record(&engine_->top, record, &engine_->extents);
}

const Extents& ExtentsCollector::extents() {
  // An open polyline counts as it stands, and stays open for more vertices.
  if (engine_->top.polyline) {
    OpenPolyline copy = *engine_->top.polyline;
    Extents with_polyline = engine_->extents;
    Close(&copy, &with_polyline);
    result_ = with_polyline;
    return result_;
  }
  return engine_->extents;
}

void AddEntityExtents(const std::vector<dxf::TagView>& tags, const BlockVisitor& blocks,
                      Extents* extents) {
  ExtentsCollector collector(blocks);
  collector.Add(tags);
  extents->Add(collector.extents());
}

}  // namespace host::geometry
