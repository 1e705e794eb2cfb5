#include "cli/input_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "host/ui/text_encoding.h"

namespace cli {

namespace {

constexpr size_t kMaxNamed = 10;

std::string Value(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

std::string Named(const DimensionFacts& dimension) {
  return dimension.type + " " + (dimension.handle.empty() ? "(no handle)" : dimension.handle);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace

bool UsableFactor(double factor) {
  return std::isfinite(factor) && std::fpclassify(factor) == FP_NORMAL && factor > 0 &&
         factor >= 1e-6 && factor <= 1e6;
}

ReferencePick PickReference(const DrawingSurvey& survey, const std::string& reference) {
  ReferencePick pick;
  if (reference == "auto") {
    pick.dimension = AutoReference(survey);
    // Without a factor that reads as a number, the first override that does
    // not read as one is what the user needs to see.
    if (!pick.dimension) {
      for (const DimensionFacts& dimension : survey.dimensions)
        if (!dimension.unreadable_dimlfac.empty()) return {&dimension, std::nullopt};
    }
  } else {
    for (const DimensionFacts& dimension : survey.dimensions)
      if (host::EqualsNoCase1252(dimension.handle, reference)) pick.dimension = &dimension;
  }
  if (pick.dimension) pick.factor = pick.dimension->override_dimlfac;
  return pick;
}

std::string ReferenceFactorProblem(const DrawingSurvey& survey, const std::string& reference) {
  ReferencePick pick = PickReference(survey, reference);
  if (!pick.dimension) return "";
  const DimensionFacts& dimension = *pick.dimension;
  std::string where = "the DIMLFAC override of the " + host::Cp1252ToUtf8(Named(dimension));
  if (!pick.factor) {
    if (dimension.unreadable_dimlfac.empty()) return "";
    return where + " is \"" + host::Cp1252ToUtf8(dimension.unreadable_dimlfac) +
           "\", not a number the host can use as the reference factor";
  }
  if (UsableFactor(*pick.factor)) return "";
  return "the reference factor " + Value(*pick.factor) + " (" + where +
         ") is not one the host can scale by: it must be a positive number from 1e-06 to 1e+06";
}

std::vector<const EntityPoint*> OutlyingEntities(const std::vector<EntityPoint>& entities) {
  std::vector<double> xs, ys;
  xs.reserve(entities.size());
  ys.reserve(entities.size());
  for (const EntityPoint& entity : entities) {
    if (!entity.has_point) continue;
    xs.push_back(entity.x);
    ys.push_back(entity.y);
  }
  double mx = Median(xs), my = Median(ys);
  std::vector<double> distances;
  distances.reserve(xs.size());
  for (size_t i = 0; i < xs.size(); ++i)
    distances.push_back(std::max(std::fabs(xs[i] - mx), std::fabs(ys[i] - my)));
  double spread = std::max(Median(std::move(distances)), 1.0);
  // A coordinate larger than this in magnitude is surely that far from the
  // middle, whichever coordinate of the entity it is.
  double far = std::max(std::fabs(mx), std::fabs(my)) + kFarFactor * spread;
  std::vector<const EntityPoint*> outlying;
  for (const EntityPoint& entity : entities) {
    bool beyond = entity.reach > kFarCoordinate || entity.reach > far;
    bool away = entity.has_point &&
                std::max(std::fabs(entity.x - mx), std::fabs(entity.y - my)) > kFarFactor * spread;
    if (beyond || away) outlying.push_back(&entity);
  }
  return outlying;
}

std::string OutlierProblem(const std::vector<EntityPoint>& entities) {
  std::vector<const EntityPoint*> outlying = OutlyingEntities(entities);
  if (outlying.empty()) return "";
  std::string text = std::to_string(outlying.size()) +
                     (outlying.size() == 1 ? " entity lies" : " entities lie") +
                     " far outside the others (a coordinate beyond 1e12, or more than a million "
                     "times the drawing's spread away), which would cost the rest their "
                     "precision:";
  for (size_t i = 0; i < outlying.size() && i < kMaxNamed; ++i) {
    const EntityPoint& entity = *outlying[i];
    text += (i ? ", " : " ") +
            (entity.handle.empty() ? "(no handle)" : host::Cp1252ToUtf8(entity.handle)) +
            " (|coordinate| up to " + Value(entity.reach) + ")";
  }
  if (outlying.size() > kMaxNamed) text += ", ...";
  return text;
}

}  // namespace cli
