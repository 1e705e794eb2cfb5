#include "cli/dimension_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <vector>

namespace cli {

namespace {

std::string FormatValue(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

std::vector<uint64_t> SortedUnique(std::vector<uint64_t> handles) {
  std::sort(handles.begin(), handles.end());
  handles.erase(std::unique(handles.begin(), handles.end()), handles.end());
  return handles;
}

}  // namespace

bool DisplayedValuesDiffer(double before, double after) {
  double scale = std::max(std::fabs(before), std::fabs(after));
  if (scale == 0) return false;
  // NaN compares false everywhere; a value that became NaN has changed.
  if (std::isnan(before) != std::isnan(after)) return true;
  return std::fabs(before - after) / scale > 1e-9;
}

ConversionCheck CompareDrawings(const DrawingSurvey& before, const DrawingSurvey& after) {
  ConversionCheck check;
  check.entities_before = before.main_entities;
  check.entities_after = after.main_entities;
  check.by_handle = !before.handles.empty() || before.main_entities == 0;
  if (!check.by_handle) {
    if (before.main_entities > after.main_entities)
      check.deleted = before.main_entities - after.main_entities;
    else
      check.added = after.main_entities - before.main_entities;
    return check;
  }

  // Sorted, the two lists are compared in one walk (a million handles make
  // hash sets the dearest part of the check).
  std::vector<uint64_t> old_handles = SortedUnique(before.handles);
  std::vector<uint64_t> new_handles = SortedUnique(after.handles);
  for (size_t i = 0, j = 0; i < old_handles.size() || j < new_handles.size();) {
    if (j == new_handles.size() || (i < old_handles.size() && old_handles[i] < new_handles[j])) {
      ++check.deleted, ++i;
    } else if (i == old_handles.size() || new_handles[j] < old_handles[i]) {
      ++check.added, ++j;
    } else {
      ++i, ++j;
    }
  }

  std::unordered_map<std::string, const DimensionFacts*> now;
  for (const DimensionFacts& dimension : after.dimensions)
    if (!dimension.handle.empty()) now.emplace(dimension.handle, &dimension);
  for (const DimensionFacts& old_dimension : before.dimensions) {
    if (old_dimension.type != "DIMENSION") continue;  // leaders and tolerances show no value
    auto it = now.find(old_dimension.handle);
    if (old_dimension.handle.empty() || it == now.end()) {
      ++check.dimensions_gone;
      continue;
    }
    std::optional<double> old_value = old_dimension.displayed();
    std::optional<double> new_value = it->second->displayed();
    if (!old_value || !new_value) {
      check.unchecked.push_back(old_dimension.handle);
      continue;
    }
    ++check.dimensions_compared;
    if (DisplayedValuesDiffer(*old_value, *new_value))
      check.changed.push_back({old_dimension.handle, it->second->layout, *old_value, *new_value});
  }
  return check;
}

std::string FormatCheck(const ConversionCheck& check) {
  std::string text = "\nEntities: " + std::to_string(check.entities_before) + " before, " +
                     std::to_string(check.entities_after) + " after";
  if (check.by_handle)
    text += " (" + std::to_string(check.deleted) + " deleted, " + std::to_string(check.added) +
            " added).";
  else
    text += " (no handles; " + std::to_string(check.deleted) + " fewer, " +
            std::to_string(check.added) + " more).";
  if (!check.by_handle) {
    text += "\nDimension check skipped: the drawing has no handles to match dimensions by.";
    return text;
  }
  text += "\nDimensions: " + std::to_string(check.dimensions_compared) + " compared";
  if (check.dimensions_gone) text += ", " + std::to_string(check.dimensions_gone) + " deleted";
  if (!check.unchecked.empty())
    text += ", " + std::to_string(check.unchecked.size()) + " not checked";
  text += check.changed.empty()
              ? ", no displayed value changed."
              : ", " + std::to_string(check.changed.size()) + " with a changed displayed value:";
  for (const DimensionChange& change : check.changed) {
    text += "\n  Dimension " + change.handle;
    if (!change.layout.empty()) text += " (" + change.layout + ")";
    text += ": " + FormatValue(change.before) + " -> " + FormatValue(change.after);
  }
  if (!check.unchecked.empty()) {
    text +=
        "\nNot checked, for want of a value (a point or the measurement is missing or no "
        "number):";
    for (size_t i = 0; i < check.unchecked.size() && i < 20; ++i)
      text += (i ? ", " : " ") + (check.unchecked[i].empty() ? "(no handle)" : check.unchecked[i]);
    if (check.unchecked.size() > 20) text += ", ...";
  }
  return text;
}

}  // namespace cli
