// HATCH: the codes repeat with meanings that depend on where they stand, so
// the rule walks the record with a small state machine.
#include <memory>
#include <optional>

#include "host/geometry/entity_rules.h"

namespace host::geometry {

namespace {

constexpr long long kPolylinePath = 2;  // boundary path type flag (92)

enum class EdgeType { kNone = 0, kLine = 1, kArc = 2, kEllipse = 3, kSpline = 4 };

// The parts of a HATCH record, in file order.
enum class Part {
  kHead,          // elevation point 10 (0, 0, z), extrusion, name, flags
  kPaths,         // after 91: the boundary paths
  kPattern,       // style, pattern type, angle 52, scale 41, double flag
  kPatternLines,  // after 78: angle 53, base point 43/44, offset 45/46, dashes 49
  kSeeds,         // after 98: seed points 10
};

class HatchRule : public EntityRule {
 public:
  Action Classify(std::string_view subclass, const dxf::TagView& tag) override {
    // Without a marker only an R12-style writer's record can reach here; a
    // HATCH's data proper stands under AcDbHatch (proxy graphics in the
    // entity part use 92 as well, so the marker matters).
    if (!subclass.empty() && subclass != "AcDbHatch") return Action::kKeep;
    Advance(tag);
    switch (part_) {
      case Part::kHead:
        return tag.code == 10 ? Action::kOcsElevationPoint : Action::kKeep;
      case Part::kPaths:
        return ClassifyPathTag(tag);
      case Part::kPattern:
        return tag.code == 41 ? Action::kLength : Action::kKeep;  // pattern scale
      case Part::kPatternLines:
        switch (tag.code) {
          case 43:
            return Action::kOcsX;  // the line's base point, in the OCS
          case 44:
            return Action::kOcsY;
          case 45:  // offset between parallel lines
          case 46:
          case 49:  // dash lengths
            return Action::kLength;
          default:
            return Action::kKeep;  // 53 angle, 79 dash count
        }
      case Part::kSeeds:
        return tag.code == 10 ? Action::kOcsPoint2d : Action::kKeep;
    }
    return Action::kKeep;
  }

 private:
  // Moves to the part a tag opens.
  void Advance(const dxf::TagView& tag) {
    switch (tag.code) {
      case 91:
        part_ = Part::kPaths;
        break;
      case 75:
      case 76:
      case 52:
      case 41:
      case 77:
        if (part_ == Part::kHead || part_ == Part::kPaths) part_ = Part::kPattern;
        break;
      case 78:
        part_ = Part::kPatternLines;
        break;
      case 47:  // pixel size follows the pattern lines
        part_ = Part::kPattern;
        break;
      case 98:
        part_ = Part::kSeeds;
        break;
      default:
        if (tag.code >= 450 && tag.code <= 470) part_ = Part::kPattern;  // gradient data
        break;
    }
  }

  Action ClassifyPathTag(const dxf::TagView& tag) {
    if (tag.code == 92) {
      long long flags = dxf::ParseInt(tag.value).value_or(0);
      polyline_path_ = (flags & kPolylinePath) != 0;
      edge_ = EdgeType::kNone;
      return Action::kKeep;
    }
    if (polyline_path_) {
      // 72 has-bulge flag, 73 closed flag, 93 vertex count; bulges 42 keep.
      return tag.code == 10 ? Action::kOcsPoint2d : Action::kKeep;
    }
    if (tag.code == 72) {
      long long type = dxf::ParseInt(tag.value).value_or(0);
      edge_ = type >= 1 && type <= 4 ? static_cast<EdgeType>(type) : EdgeType::kNone;
      return Action::kKeep;
    }
    switch (edge_) {
      case EdgeType::kLine:
        return tag.code == 10 || tag.code == 11 ? Action::kOcsPoint2d : Action::kKeep;
      case EdgeType::kArc:
        if (tag.code == 10) return Action::kOcsPoint2d;
        return tag.code == 40 ? Action::kLength : Action::kKeep;  // radius; angles keep
      case EdgeType::kEllipse:
        // 11 is the major axis relative to the centre; 40 is the axis ratio.
        if (tag.code == 10) return Action::kOcsPoint2d;
        return tag.code == 11 ? Action::kVector : Action::kKeep;
      case EdgeType::kSpline:
        // Control points 10 and fit points 11; knots 40, weights 42 and the
        // tangents 12/13 keep.
        return tag.code == 10 || tag.code == 11 ? Action::kOcsPoint2d : Action::kKeep;
      case EdgeType::kNone:
        break;
    }
    return Action::kKeep;  // counts, flags and source boundary handles (97, 330)
  }

  Part part_ = Part::kHead;
  bool polyline_path_ = false;
  EdgeType edge_ = EdgeType::kNone;
};

}  // namespace

std::unique_ptr<EntityRule> MakeHatchRule() { return std::make_unique<HatchRule>(); }

}  // namespace host::geometry
