// Checks of a drawing before its conversion starts, each giving the reason
// it cannot be converted ("" when it can): a reference factor the host
// cannot scale by, and entities so far from the rest that the move and
// scale of the views would lose the others' precision.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/drawing_survey.h"
#include "cli/entity_points.h"

namespace cli {

// The host scales by a factor that is finite, positive, not subnormal and
// from 1e-6 to 1e6 in magnitude.
bool UsableFactor(double factor);

// The dimension the reference answer picks ("auto" or a handle) and its
// factor, when it carries one that reads as a number.
struct ReferencePick {
  const DimensionFacts* dimension = nullptr;
  std::optional<double> factor;
};
ReferencePick PickReference(const DrawingSurvey& survey, const std::string& reference);

// Why the picked reference factor cannot be used, naming its value and the
// dimension's handle; "" when it can, or when there is none to judge (that
// is reported elsewhere).
std::string ReferenceFactorProblem(const DrawingSurvey& survey, const std::string& reference);

// Outlying entities: an entity is outlying when one of its coordinates is
// larger than kFarCoordinate in magnitude, or lies farther from the middle
// of the space than kFarFactor times the space's spread. The middle is the
// median of the entities' first points; the spread, the median distance
// (largest of |dx|, |dy|) of those points from it, at least one drawing
// unit.
inline constexpr double kFarCoordinate = 1e12;
inline constexpr double kFarFactor = 1e6;
std::vector<const EntityPoint*> OutlyingEntities(const std::vector<EntityPoint>& entities);

// The refusal for outlying entities, naming their handles, or "".
std::string OutlierProblem(const std::vector<EntityPoint>& entities);

}  // namespace cli
