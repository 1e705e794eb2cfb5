// DIMENSION (and the newer ARC_DIMENSION and LARGE_RADIAL_DIMENSION, which
// share its data).
#include <memory>

#include "host/geometry/entity_rules.h"
#include "host/geometry/record_walk.h"

namespace host::geometry {

namespace {

// Dimension types (70, lower bits).
constexpr long long kTypeMask = 0x0F;
constexpr long long kAngular2Line = 2;
constexpr long long kDiameter = 3;
constexpr long long kRadius = 4;
constexpr long long kAngular3Point = 5;

// Definition point 10 and the extension-line points 13/14/15 (and 17 of arc
// dimensions) are world points; text midpoint 11, clone insertion point 12
// and the arc point 16 of 2-line angular dimensions are in the OCS. The
// measurement 42 grows with the factor except for angles; 40 is a length
// (the leader length) only for radius and diameter dimensions, an angle in
// arc and large radial dimensions. Rotation and direction angles keep.
class DimensionRule : public EntityRule {
 public:
  explicit DimensionRule(const TagViews& tags) {
    type_ = OwnInteger(tags, 70).value_or(0) & kTypeMask;
  }

  Action Classify(std::string_view subclass, const dxf::TagView& tag) override {
    switch (tag.code) {
      case 10:
      case 13:
      case 14:
      case 15:
      case 17:
        return Action::kWorldPoint;
      case 11:
      case 12:
      case 16:
        return Action::kOcsPoint;
      case 42:
        return type_ == kAngular2Line || type_ == kAngular3Point ? Action::kKeep : Action::kLength;
      case 40:
        return IsLeaderLength(subclass) ? Action::kLength : Action::kKeep;
      default:
        return Action::kKeep;
    }
  }

 private:
  bool IsLeaderLength(std::string_view subclass) const {
    if (subclass == "AcDbRadialDimension" || subclass == "AcDbDiametricDimension") return true;
    // Files without subclass markers (R12) tell the kind by the type alone.
    return subclass.empty() && (type_ == kRadius || type_ == kDiameter);
  }

  long long type_ = 0;
};

}  // namespace

std::unique_ptr<EntityRule> MakeDimensionRule(const TagViews& tags) {
  return std::make_unique<DimensionRule>(tags);
}

}  // namespace host::geometry
