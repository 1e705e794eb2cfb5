// The table-driven rules and the choice of a rule by entity type.
#include "host/geometry/entity_rules.h"

#include <string>
#include <unordered_map>

namespace host::geometry {

Action LookUp(std::span<const CodeAction> table, std::string_view subclass, int code) {
  for (const CodeAction& entry : table) {
    if (entry.code == code && (entry.subclass.empty() || entry.subclass == subclass)) {
      return entry.action;
    }
  }
  return Action::kKeep;
}

Action TableRule::Classify(std::string_view subclass, const dxf::TagView& tag) {
  return LookUp(table_, subclass, tag.code);
}

namespace {

using A = Action;

// World-coordinate entities.
constexpr CodeAction kLine[] = {{10, A::kWorldPoint}, {11, A::kWorldPoint}, {39, A::kLength}};
constexpr CodeAction kPoint[] = {{10, A::kWorldPoint}, {39, A::kLength}};
constexpr CodeAction kFace[] = {
    {10, A::kWorldPoint}, {11, A::kWorldPoint}, {12, A::kWorldPoint}, {13, A::kWorldPoint}};
// ELLIPSE 11 is the major axis relative to the centre; 40 (ratio) and the
// parameters 41/42 do not change.
constexpr CodeAction kEllipse[] = {{10, A::kWorldPoint}, {11, A::kVector}};
// XLINE/RAY 11 is a unit direction.
constexpr CodeAction kXLine[] = {{10, A::kWorldPoint}};
// SPLINE: control (10) and fit (11) points; tangents 12/13, knots 40 and
// weights 41 keep; the tolerances 42/43/44 are distances.
constexpr CodeAction kSpline[] = {{10, A::kWorldPoint},
                                  {11, A::kWorldPoint},
                                  {42, A::kLength},
                                  {43, A::kLength},
                                  {44, A::kLength}};
// HELIX: its spline part as SPLINE; under AcDbHelix 10 is the axis base
// point, 11 the start point, 12 the axis direction, 40 the radius, 41 the
// number of turns and 42 the turn height.
constexpr CodeAction kHelix[] = {{40, A::kLength, "AcDbHelix"},  {10, A::kWorldPoint},
                                 {11, A::kWorldPoint},           {42, A::kLength},
                                 {43, A::kLength, "AcDbSpline"}, {44, A::kLength, "AcDbSpline"}};
// LEADER: vertices; 40/41 annotation height and width; 212/213 offsets of
// the block and the annotation are displacements; 211 is a direction.
constexpr CodeAction kLeader[] = {
    {10, A::kWorldPoint}, {40, A::kLength}, {41, A::kLength}, {212, A::kVector}, {213, A::kVector}};
// TOLERANCE 11 is the X-axis direction; its text size comes from the style.
constexpr CodeAction kTolerance[] = {{10, A::kWorldPoint}};
// VIEWPORT: centre and size on the sheet; the view (12, 45, 13-17) stays,
// so the viewport shows its model at f times the scale.
constexpr CodeAction kViewport[] = {{10, A::kWorldPoint}, {40, A::kLength}, {41, A::kLength}};
// IMAGE/WIPEOUT: 11/12 are the u and v vectors of one pixel; 13 (size) and
// 14 (clip boundary) are in pixels.
constexpr CodeAction kImage[] = {{10, A::kWorldPoint}, {11, A::kVector}, {12, A::kVector}};
// Underlays: insertion point and scale; 11 (clip boundary) is in the
// underlay's own coordinates.
constexpr CodeAction kUnderlay[] = {
    {10, A::kWorldPoint}, {41, A::kLength}, {42, A::kLength}, {43, A::kLength}};
// MESH: vertices; creases (140) and counts keep.
constexpr CodeAction kMesh[] = {{10, A::kWorldPoint}};
// MLINE: start point and vertices; 12/13 are directions; 40 is the scale of
// the style's offsets, 41/42 the element and fill parameters (lengths).
constexpr CodeAction kMLine[] = {{10, A::kWorldPoint},
                                 {11, A::kWorldPoint},
                                 {40, A::kLength},
                                 {41, A::kLength},
                                 {42, A::kLength}};

// OCS entities.
constexpr CodeAction kCircle[] = {{10, A::kOcsPoint}, {40, A::kLength}, {39, A::kLength}};
constexpr CodeAction kSolid[] = {{10, A::kOcsPoint},
                                 {11, A::kOcsPoint},
                                 {12, A::kOcsPoint},
                                 {13, A::kOcsPoint},
                                 {39, A::kLength}};
constexpr CodeAction kShape[] = {{10, A::kOcsPoint}, {40, A::kLength}, {39, A::kLength}};

// ACAD_TABLE: the block reference part and the row heights (141), column
// widths (142) and cell text heights (140). The cell contents are not
// followed further, so the result says that the type was not fully done.
constexpr CodeAction kTable[] = {{10, A::kOcsPoint, "AcDbBlockReference"},
                                 {141, A::kLength, "AcDbTable"},
                                 {142, A::kLength, "AcDbTable"},
                                 {140, A::kLength, "AcDbTable"}};

// Nothing to do: terminators, and the types whose geometry is ACIS data,
// which cannot be transformed here (their result says so).
constexpr CodeAction kNoData[] = {{-1, A::kKeep}};

struct TableEntry {
  std::span<const CodeAction> table;
  TransformResult result = TransformResult::kDone;
};

const std::unordered_map<std::string_view, TableEntry>& TableRules() {
  static const auto* rules = new std::unordered_map<std::string_view, TableEntry>{
      {"LINE", {kLine}},
      {"POINT", {kPoint}},
      {"3DFACE", {kFace}},
      {"ELLIPSE", {kEllipse}},
      {"XLINE", {kXLine}},
      {"RAY", {kXLine}},
      {"SPLINE", {kSpline}},
      {"HELIX", {kHelix}},
      {"LEADER", {kLeader}},
      {"TOLERANCE", {kTolerance}},
      {"VIEWPORT", {kViewport}},
      {"IMAGE", {kImage}},
      {"WIPEOUT", {kImage}},
      {"PDFUNDERLAY", {kUnderlay}},
      {"DWFUNDERLAY", {kUnderlay}},
      {"DGNUNDERLAY", {kUnderlay}},
      {"MESH", {kMesh}},
      {"MLINE", {kMLine}},
      {"CIRCLE", {kCircle}},
      {"ARC", {kCircle}},
      {"SOLID", {kSolid}},
      {"TRACE", {kSolid}},
      {"SHAPE", {kShape}},
      {"ACAD_TABLE", {kTable, TransformResult::kPointsOnly}},
      {"REGION", {kNoData, TransformResult::kPointsOnly}},
      {"3DSOLID", {kNoData, TransformResult::kPointsOnly}},
      {"BODY", {kNoData, TransformResult::kPointsOnly}},
      {"SURFACE", {kNoData, TransformResult::kPointsOnly}},
      {"SEQEND", {kNoData}},
      {"ENDBLK", {kNoData}},
  };
  return *rules;
}

// Unknown types: every point (codes 10-18 with their y and z) is taken as a
// world point. Their other values are left alone, which the result reports.
class PointsOnlyRule : public EntityRule {
 public:
  Action Classify(std::string_view, const dxf::TagView& tag) override {
    return tag.code >= 10 && tag.code <= 18 ? Action::kWorldPoint : Action::kKeep;
  }
  TransformResult result() const override { return TransformResult::kPointsOnly; }
};

}  // namespace

std::unique_ptr<EntityRule> MakeEntityRule(std::string_view type, const TagViews& tags,
                                           const OwnerFrame& owner) {
  if (type == "TEXT" || type == "ATTRIB" || type == "ATTDEF") return MakeTextRule(type, tags);
  if (type == "MTEXT") return MakeMTextRule();
  if (type == "INSERT") return MakeInsertRule();
  if (type == "LWPOLYLINE") return MakeLwPolylineRule();
  if (type == "POLYLINE") return MakePolylineRule(tags);
  if (type == "VERTEX") return MakeVertexRule(tags, owner);
  if (type == "DIMENSION" || type == "ARC_DIMENSION" || type == "LARGE_RADIAL_DIMENSION") {
    return MakeDimensionRule(tags);
  }
  if (type == "HATCH") return MakeHatchRule();
  if (type == "MULTILEADER" || type == "MLEADER") return MakeMultiLeaderRule();
  const auto& tables = TableRules();
  auto it = tables.find(type);
  if (it != tables.end()) return std::make_unique<TableRule>(it->second.table, it->second.result);
  // Surfaces of every kind are ACIS data as well.
  if (type.ends_with("SURFACE")) {
    return std::make_unique<TableRule>(kNoData, TransformResult::kPointsOnly);
  }
  return std::make_unique<PointsOnlyRule>();
}

}  // namespace host::geometry
